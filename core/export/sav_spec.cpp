#include "core/export/sav_spec.h"

#include <algorithm>
#include <map>

#include "encoding/codec.h"

namespace lv {
namespace w = savio::writer;
namespace {

constexpr int kMaxStringWidth = 32767;

w::Format FormatOf(const PrintFormat& f) {
    return w::Format{f.type, f.width, f.decimals};
}

// Attributes as the file lists them; the role's $@Role among them keeps its
// place.
std::vector<w::Attribute> AttributesOf(const std::vector<DictAttribute>& list, const auto& text) {
    std::vector<w::Attribute> out;
    for (const DictAttribute& a : list) {
        w::Attribute attribute{text(a.name), {}};
        for (const std::string& value : a.values) attribute.values.push_back(text(value));
        out.push_back(std::move(attribute));
    }
    return out;
}

w::Variable VariableOf(const DictVariable& d, const auto& text) {
    w::Variable v;
    v.name = text(d.longName);
    const std::string shortName = text(d.name);
    if (shortName.size() <= 8) v.shortName = shortName;
    v.width = d.width;
    v.print = FormatOf(d.print);
    v.write = FormatOf(d.write);
    if (d.hasLabel) v.label = text(d.label);
    if (d.isString()) {
        for (int i = 0; i < std::clamp(d.missingCode, 0, 3); ++i)
            v.missing.strings.push_back(text(d.missingText[i]));
        for (const auto& [value, label] : d.stringLabels)
            v.stringLabels.emplace_back(text(value), text(label));
    } else {
        const int code = d.missingCode;
        if (code < 0) v.missing.range = std::make_pair(d.missing[0], d.missing[1]);
        if (code == SPSS_MISS_RANGEANDVAL) v.missing.values.push_back(d.missing[2]);
        for (int i = 0; i < std::clamp(code, 0, 3); ++i) v.missing.values.push_back(d.missing[i]);
        v.numberLabels = d.numericLabels;
        for (auto& entry : v.numberLabels) entry.second = text(entry.second);
    }
    v.measure = d.measure;
    v.columnWidth = std::max(d.columnWidth, 0);
    v.alignment = d.alignment;
    v.attributes = AttributesOf(d.attributes, text);
    return v;
}

}  // namespace

void WidenString(w::FileSpec& spec, size_t index, int bytes) {
    w::Variable& v = spec.variables[index];
    const int width = std::min(bytes, kMaxStringWidth);
    if (v.width == 0 || width <= v.width) return;
    for (w::Format* f : {&v.print, &v.write}) {
        if (f->type == SPSS_FMT_A && f->width == std::min(v.width, 255))
            f->width = std::min(width, 255);
        else if (f->type == SPSS_FMT_AHEX && f->width == std::min(2 * v.width, 510))
            f->width = std::min(2 * width, 510);
    }
    v.width = width;
}

SavDictionary PlanSavDictionary(const FileDictionary& dict, const std::vector<int>& columns,
                                const std::string& sourceEncoding, bool keepEncoding) {
    SavDictionary out;
    w::FileSpec& spec = out.spec;
    out.convertsValues = !keepEncoding;
    const auto text = [&](const std::string& bytes) {
        return keepEncoding ? bytes : ToUtf8(bytes, sourceEncoding);
    };
    spec.encoding = keepEncoding ? sourceEncoding : "UTF-8";
    spec.fileLabel = text(dict.fileLabel);
    if (dict.hasReleaseInfo) std::copy(dict.release, dict.release + 3, spec.release);

    std::vector<int> kept = columns;
    if (kept.empty())
        for (size_t i = 0; i < dict.variables.size(); ++i) kept.push_back(int(i));
    std::map<std::string, int> keptByName;  // short name -> index into spec.variables
    for (int column : kept) {
        const DictVariable& d = dict.variables.at(size_t(column));
        keptByName.emplace(d.name, int(spec.variables.size()));
        spec.variables.push_back(VariableOf(d, text));
        // A converted string value label must still fit its variable.
        for (const auto& label : spec.variables.back().stringLabels)
            WidenString(spec, spec.variables.size() - 1, int(label.first.size()));
    }
    const auto indexOf = [&](const std::string& shortName) {
        const auto it = keptByName.find(shortName);
        return it == keptByName.end() ? -1 : it->second;
    };
    if (!dict.weightVariable.empty()) spec.weightVariable = indexOf(dict.weightVariable);

    for (const std::string& line : dict.documents) spec.documents.push_back(text(line));
    spec.fileAttributes = AttributesOf(dict.attributes, text);
    spec.productInfo = text(dict.productInfo);

    // A multiple-response set needs two members, a variable set one.
    for (const DictMultRespSet& s : dict.mrsets) {
        w::MultipleResponseSet set{
            text(s.name),         text(s.label),       s.dichotomy, text(s.countedValue),
            s.countedValueLabels, s.labelFromFirstVar, {}};
        if (s.labelFromFirstVar) set.label.clear();
        for (const std::string& name : s.variables)
            if (const int i = indexOf(name); i >= 0) set.variables.push_back(i);
        if (set.variables.size() >= 2)
            spec.multipleResponseSets.push_back(std::move(set));
        else
            out.droppedSets.push_back(set.name);
    }
    spec.writeVariableSets = dict.hasVariableSets;
    for (const DictVarSet& s : dict.variableSets) {
        w::VariableSet set{text(s.name), {}};
        for (const std::string& name : s.variables)
            if (const int i = indexOf(name); i >= 0) set.variables.push_back(i);
        if (!set.variables.empty())
            spec.variableSets.push_back(std::move(set));
        else
            out.droppedSets.push_back(set.name);
    }
    return out;
}

}  // namespace lv
