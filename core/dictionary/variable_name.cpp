#include "core/dictionary/variable_name.h"

#include "core/text/display_encoding.h"
#include "core/text/half_width.h"
#include "core/text/text_match.h"
#include "core/text/trim.h"

namespace lv {
namespace {

constexpr int kSteps = 3;  // exact, decoded, folded

std::string Folded(std::string_view utf8) {
    return FoldCase(ToHalfWidth(utf8));
}

}  // namespace

VariableNameIndex::VariableNameIndex(std::span<const VariableNames> variables,
                                     std::string_view encoding) {
    for (size_t i = 0; i < variables.size(); ++i) {
        const int index = static_cast<int>(i);
        const std::string_view names[] = {variables[i].name, variables[i].longName};
        for (int which = 0; which < 2; ++which) {
            const std::string_view bytes = WithoutTrailingBlanks(names[which]);
            if (bytes.empty()) continue;
            std::unordered_map<std::string, int>* step = &steps_[which * kSteps];
            // emplace keeps the first variable of a text.
            step[0].emplace(bytes, index);
            std::string decoded = ToUtf8(bytes, encoding);
            step[2].emplace(Folded(decoded), index);
            step[1].emplace(std::move(decoded), index);
        }
    }
}

int VariableNameIndex::Find(std::string_view typed) const {
    typed = WithoutPadding(typed);
    if (typed.empty()) return -1;
    const std::string text(typed);
    const std::string folded(WithoutPadding(Folded(typed)));
    for (int s = 0; s < 2 * kSteps; ++s) {
        const auto it = steps_[s].find(s % kSteps == 2 ? folded : text);
        if (it != steps_[s].end()) return it->second;
    }
    return -1;
}

std::vector<VariableNames> NamesOf(std::span<const DictVariable> variables) {
    std::vector<VariableNames> names;
    names.reserve(variables.size());
    for (const DictVariable& v : variables) names.push_back({v.name, v.longName});
    return names;
}

std::vector<VariableNames> NamesOf(std::span<const VariableFacts> variables) {
    std::vector<VariableNames> names;
    names.reserve(variables.size());
    for (const VariableFacts& v : variables) names.push_back({v.name, v.longName});
    return names;
}

int FindVariableNamed(std::span<const VariableNames> variables, std::string_view typed,
                      std::string_view encoding) {
    return VariableNameIndex(variables, encoding).Find(typed);
}

int FindVariableNamed(std::span<const DictVariable> variables, std::string_view typed,
                      std::string_view encoding) {
    return FindVariableNamed(NamesOf(variables), typed, encoding);
}

int FindVariableNamed(std::span<const VariableFacts> variables, std::string_view typed,
                      std::string_view encoding) {
    return FindVariableNamed(NamesOf(variables), typed, encoding);
}

}  // namespace lv
