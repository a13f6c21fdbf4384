#include "core/compute/computed_variables.h"

#include <algorithm>
#include <cctype>

#include "core/cases/case_stream.h"
#include "core/condition/condition_syntax.h"
#include "core/dictionary/variable_name.h"
#include "encoding/codec.h"

namespace lv {
namespace {

constexpr int kDefaultStringWidth = 255;

bool NameStart(unsigned char c) {
    return std::isalpha(c) || c == '@' || c == '#' || c == '$' || c >= 0x80;
}

bool NameChar(unsigned char c) {
    return NameStart(c) || std::isdigit(c) || c == '_' || c == '.';
}

bool ValidName(std::string_view name) {
    if (name.empty() || name.size() > 64 || !NameStart(static_cast<unsigned char>(name[0])) ||
        name.back() == '.' || IsOperatorWord(name))
        return false;
    for (char c : name)
        if (!NameChar(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

// A string cut to width bytes, not inside a UTF-8 character.
std::string_view Cut(std::string_view text, size_t width, bool utf8) {
    if (text.size() <= width) return text;
    size_t end = width;
    if (utf8)
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

bool IsUtf8Encoding(std::string_view encoding) {
    std::string letters;
    for (char c : encoding)
        if (c != '-' && c != '_')
            letters.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return letters == "UTF8";
}

}  // namespace

std::optional<ComputeSpec> ParseComputeSpec(std::string_view text) {
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    std::string_view left = Trimmed(text.substr(0, equals));
    ComputeSpec spec;
    spec.expression = std::string(Trimmed(text.substr(equals + 1)));
    if (!left.empty() && left.back() == ')') {
        const size_t open = left.find('(');
        if (open == std::string_view::npos) return std::nullopt;
        spec.format = ParseFormatText(Trimmed(left.substr(open + 1, left.size() - open - 2)));
        if (!spec.format) return std::nullopt;
        left = Trimmed(left.substr(0, open));
    }
    spec.name = std::string(left);
    if (spec.name.empty() || spec.expression.empty()) return std::nullopt;
    return spec;
}

void ComputedVariables::Fill(int d, CaseValues& values, std::span<const size_t> in, size_t out,
                             int64_t firstCase, double sysmis) const {
    const Made& made = made_[size_t(d)];
    const auto rows = static_cast<size_t>(values.rows());
    std::vector<std::vector<double>> numbers(in.size());
    std::vector<std::vector<std::string_view>> strings(in.size());
    ConditionBlock block;
    block.rows = static_cast<uint32_t>(rows);
    block.numbers.assign(in.size(), nullptr);
    block.strings.assign(in.size(), nullptr);
    for (size_t k = 0; k < in.size(); ++k) {
        const size_t c = in[k];
        if (values.isText(c)) {
            strings[k].resize(rows);
            for (size_t r = 0; r < rows; ++r) strings[k][r] = values.Text(int64_t(r), c);
            block.strings[k] = strings[k].data();
        } else {
            numbers[k].resize(rows);
            const double* from = values.Numbers(c);
            for (size_t r = 0; r < rows; ++r)
                numbers[k][r] = IsSystemMissing(from[r], sysmis) ? kConditionMissing : from[r];
            block.numbers[k] = numbers[k].data();
        }
    }
    const auto width = static_cast<size_t>(made.width);
    const bool utf8 = made.utf8;
    made.expression.Evaluate(
        block, static_cast<uint32_t>(firstCase),
        [&](uint32_t, double v) {
            values.AppendComputed(out, v == kConditionMissing ? sysmis : v);
        },
        [&](uint32_t, std::string_view text) {
            values.AppendComputed(out, Cut(text, width, utf8));
        });
}

std::variant<std::shared_ptr<ComputedVariables>, ComputeError> AddComputedVariables(
    FileDictionary& dict, const std::vector<ComputeSpec>& specs, const std::string& encoding) {
    auto made = std::make_shared<ComputedVariables>();
    const size_t fileCount = dict.variables.size();
    made->fileVariables_ = static_cast<int>(fileCount);
    const bool utf8 = IsUtf8Encoding(encoding);
    auto fail = [&](size_t k, ConditionError error) {
        dict.variables.resize(fileCount);
        return ComputeError{k, std::move(error)};
    };
    for (size_t k = 0; k < specs.size(); ++k) {
        const ComputeSpec& spec = specs[k];
        if (!ValidName(spec.name))
            return fail(k, {0, Message{MessageCode::ComputedNameInvalid, {spec.name}}});
        if (FindVariableNamed(std::span<const DictVariable>(dict.variables), spec.name, encoding) >=
            0)
            return fail(k, {0, Message{MessageCode::ComputedNameTaken, {spec.name}}});
        auto compiled =
            CompileExpression(spec.expression, ConditionVariablesOf(dict.variables), encoding);
        if (auto* error = std::get_if<ConditionError>(&compiled)) return fail(k, *error);
        Condition& expression = std::get<Condition>(compiled);
        const bool text = expression.givesText();
        PrintFormat format = spec.format.value_or(text ? PrintFormat{fmt::A, kDefaultStringWidth, 0}
                                                       : PrintFormat{fmt::F, 8, 2});
        if ((CategoryOf(format.type) == FormatCategory::String) != text)
            return fail(k, {0, Message{MessageCode::ComputedFormatMismatch,
                                       {spec.name, FormatText(format)},
                                       {text ? 1 : 0}}});
        DictVariable v;
        v.position = static_cast<int>(dict.variables.size()) + 1;
        const std::optional<std::string> name = FromUtf8(spec.name, encoding, nullptr);
        const std::optional<std::string> label = FromUtf8(spec.label, encoding, nullptr);
        v.name = v.longName = name ? *name : spec.name;
        v.hasLabel = !spec.label.empty();
        v.label = label ? *label : spec.label;
        v.width = text ? format.width : 0;
        v.print = v.write = format;
        v.expression = spec.expression;
        v.BuildLookups();
        dict.variables.push_back(std::move(v));
        int64_t before = expression.farthestLag();
        int64_t inputsBefore = 0;
        for (const int input : expression.variables())
            if (size_t(input) >= fileCount)
                inputsBefore =
                    std::max(inputsBefore, made->made_[size_t(input) - fileCount].before);
        made->made_.push_back(
            {std::move(expression), text ? format.width : 0, utf8, before + inputsBefore});
    }
    return made;
}

}  // namespace lv
