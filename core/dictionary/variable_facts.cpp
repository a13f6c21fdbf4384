#include "core/dictionary/variable_facts.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/state/spssdio1.h"
#include "savio/spssfio.h"

namespace lv {
namespace {

constexpr int kLongNameSize = 256;
constexpr int kStringMissingSize = SPSS_STRING_MISSING_SIZE;

std::string Text(const char* bytes, size_t size) {
    return std::string(bytes, strnlen(bytes, size));
}

std::string LongName(int h, const char* name) {
    char buffer[kLongNameSize] = {};
    if (spssGetVarLongName(h, name, buffer, sizeof buffer) != 0) return {};
    std::string text = Text(buffer, sizeof buffer);
    return text == name ? std::string() : text;
}

// buffer: kept by the caller between variables.
std::string FullLabel(int h, const char* name, std::vector<char>& buffer) {
    if (buffer.size() < 4096) buffer.assign(4096, 0);
    for (;;) {
        const int status =
            spssGetVarFullLabel(h, name, buffer.data(), static_cast<int>(buffer.size()));
        if (status == SPSS_BUFFER_SHORT && buffer.size() < (size_t{1} << 20)) {
            buffer.assign(buffer.size() * 4, 0);
            continue;
        }
        return status == 0 ? Text(buffer.data(), buffer.size()) : std::string();
    }
}

// Which of the three values a missing-value format code uses: discrete
// values, and whether the first two are a range.
void SetMissingShape(MissingValues& m, int code) {
    switch (code) {
        case SPSS_ONE_MISSVAL:
        case SPSS_TWO_MISSVAL:
        case SPSS_THREE_MISSVAL:
            m.count = code;
            break;
        case SPSS_MISS_RANGE:
            m.range = true;
            break;
        case SPSS_MISS_RANGEANDVAL:
            m.range = true;
            m.count = 1;
            break;
        default:
            break;
    }
}

void ReadMissing(int h, const char* name, VariableFacts& f) {
    int code = 0;
    MissingValues& m = f.missing;
    if (f.isString) {
        char v[3][kStringMissingSize] = {};
        if (spssGetVarCMissingValues(h, name, &code, v[0], v[1], v[2]) != 0) return;
        SetMissingShape(m, code);
        std::string texts[3];
        for (int k = 0; k < 3; ++k)
            texts[k] = std::string(WithoutTrailingBlanks(Text(v[k], kStringMissingSize - 1)));
        if (m.range) {
            m.lowText = texts[0];
            m.highText = texts[1];
            if (m.count == 1) m.strings[0] = texts[2];
        } else {
            for (int k = 0; k < m.count; ++k) m.strings[k] = texts[k];
        }
        return;
    }
    double v[3] = {};
    if (spssGetVarNMissingValues(h, name, &code, &v[0], &v[1], &v[2]) != 0) return;
    SetMissingShape(m, code);
    if (m.range) {
        m.low = v[0];
        m.high = v[1];
        if (m.count == 1) m.numbers[0] = v[2];
    } else {
        for (int k = 0; k < m.count; ++k) m.numbers[k] = v[k];
    }
}

void ReadLabels(int h, const char* name, VariableFacts& f) {
    int count = 0;
    char** labels = nullptr;
    if (f.isString) {
        char** values = nullptr;
        if (spssGetVarCValueLabels(h, name, &values, &labels, &count) != 0) return;
        for (int i = 0; i < count; ++i)
            f.stringLabels.emplace_back(WithoutTrailingBlanks(values[i] ? values[i] : ""),
                                        labels[i] ? labels[i] : "");
        spssFreeVarCValueLabels(values, labels, count);
        // Stable: of two values that are equal without their blanks, the
        // first keeps its label.
        std::stable_sort(f.stringLabels.begin(), f.stringLabels.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        return;
    }
    double* values = nullptr;
    if (spssGetVarNValueLabels(h, name, &values, &labels, &count) != 0) return;
    // A label of a value that is not a number could never be matched (and
    // would leave the list unsortable).
    for (int i = 0; i < count; ++i)
        if (!std::isnan(values[i]))
            f.numberLabels.emplace_back(values[i], labels[i] ? labels[i] : "");
    spssFreeVarNValueLabels(values, labels, count);
    std::stable_sort(f.numberLabels.begin(), f.numberLabels.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

}  // namespace

bool MissingValues::Holds(double value) const {
    for (int k = 0; k < count; ++k)
        if (value == numbers[k]) return true;
    return range && value >= low && value <= high;
}

bool MissingValues::Holds(std::string_view value) const {
    for (int k = 0; k < count; ++k)
        if (value == strings[k]) return true;
    return range && value >= lowText && value <= highText;
}

const std::string* VariableFacts::LabelOf(double value) const {
    const auto it = std::lower_bound(numberLabels.begin(), numberLabels.end(), value,
                                     [](const auto& entry, double v) { return entry.first < v; });
    return it != numberLabels.end() && it->first == value ? &it->second : nullptr;
}

const std::string* VariableFacts::LabelOf(std::string_view valueWithoutBlanks) const {
    const auto it =
        std::lower_bound(stringLabels.begin(), stringLabels.end(), valueWithoutBlanks,
                         [](const auto& entry, std::string_view v) { return entry.first < v; });
    return it != stringLabels.end() && it->first == valueWithoutBlanks ? &it->second : nullptr;
}

std::vector<VariableFacts> ReadVariableFacts(const std::string& path, int varCount,
                                             Progress* progress) {
    using namespace spssdio1;
    varCount = std::max(varCount, 0);
    EnsureVarCapacity(varCount);
    std::vector<VariableFacts> facts(varCount);
    for (int i = 0; i < varCount; ++i) {
        facts[i].name = std::string(SlotText(VarNames[i]));
        facts[i].isString = VarTypes[i] != 0;
    }
    int h = -1;
    if (path.empty() || spssOpenRead(path.c_str(), &h) != 0) return facts;
    std::vector<char> labelBuffer;
    constexpr size_t kVariablesPerStep = 64;
    for (size_t i = 0; i < facts.size(); ++i) {
        if (i % kVariablesPerStep == 0 && !Continue(progress, i, facts.size())) break;
        VariableFacts& f = facts[i];
        const char* name = f.name.c_str();
        f.longName = LongName(h, name);
        f.label = FullLabel(h, name, labelBuffer);
        if (spssGetVarPrintFormat(h, name, &f.formatType, &f.formatDecimals, &f.formatWidth) != 0)
            f.formatType = f.formatWidth = f.formatDecimals = 0;
        ReadMissing(h, name, f);
        ReadLabels(h, name, f);
    }
    spssCloseRead(h);
    return facts;
}

}  // namespace lv
