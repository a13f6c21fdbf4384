#include "core/dictionary/dictionary_words.h"

#include <cmath>
#include <limits>

#include "core/text/display_encoding.h"
#include "core/text/number_text.h"

namespace lv {

namespace {

std::string RangeEnd(double v, bool low) {
    const double max = std::numeric_limits<double>::max();
    if (low && v <= std::nextafter(-max, 0.0)) return "LOWEST";
    if (!low && v >= max) return "HIGHEST";
    return NumberText(v);
}

}  // namespace

std::string_view MeasureWord(int measure) {
    switch (measure) {
        case SPSS_MLVL_NOM:
            return "nominal";
        case SPSS_MLVL_ORD:
            return "ordinal";
        case SPSS_MLVL_RAT:
            return "scale";
        default:
            return "";
    }
}

std::string_view MeasureText(int measure) {
    switch (measure) {
        case SPSS_MLVL_NOM:
            return "名義";
        case SPSS_MLVL_ORD:
            return "順序";
        case SPSS_MLVL_RAT:
            return "スケール";
        default:
            return "";
    }
}

std::string TypeText(const DictVariable& v) {
    return v.isString() ? "文字列 (幅 " + std::to_string(v.width) + ")" : "数値";
}

std::string_view AlignmentWord(int alignment) {
    switch (alignment) {
        case SPSS_ALIGN_LEFT:
            return "left";
        case SPSS_ALIGN_RIGHT:
            return "right";
        case SPSS_ALIGN_CENTER:
            return "center";
        default:
            return "";
    }
}

std::string_view RoleWord(int role) {
    static constexpr std::string_view kWords[] = {"input", "target",    "both",
                                                  "none",  "partition", "split"};
    return role >= 0 && role < 6 ? kWords[role] : "input";
}

std::string ValueLabelsText(const DictVariable& v, std::string_view encoding,
                            std::string_view equals, std::string_view between) {
    std::string out;
    auto add = [&](const std::string& value, std::string_view label) {
        if (!out.empty()) out += between;
        out += value;
        out += equals;
        out += ToUtf8(label, encoding);
    };
    for (const auto& [value, label] : v.numericLabels) add(NumberText(value), label);
    for (const auto& [value, label] : v.stringLabels) add(ToUtf8(value, encoding), label);
    return out;
}

std::string MissingValuesText(const DictVariable& v, std::string_view encoding) {
    std::string out;
    auto add = [&](const std::string& item) {
        if (!out.empty()) out += "; ";
        out += item;
    };
    if (v.isString()) {
        for (int k = 0; k < v.missingCode && k < 3; ++k)
            add("\"" + ToUtf8(v.missingText[k], encoding) + "\"");
    } else if (v.missingCode > 0) {
        for (int k = 0; k < v.missingCode && k < 3; ++k) add(NumberText(v.missing[k]));
    } else if (v.missingCode < 0) {
        add(RangeEnd(v.missing[0], true) + " THRU " + RangeEnd(v.missing[1], false));
        if (v.missingCode == SPSS_MISS_RANGEANDVAL) add(NumberText(v.missing[2]));
    }
    return out;
}

}  // namespace lv
