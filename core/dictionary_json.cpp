#include "core/dictionary_json.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "core/textcodec.h"

namespace lv {
namespace {

using Json = nlohmann::ordered_json;

// Decodes the file's texts; the JSON library never sees invalid UTF-8.
class Texts {
  public:
    explicit Texts(std::string_view encoding) : encoding_(encoding) {}
    Json operator()(std::string_view bytes) const { return ToUtf8(bytes, encoding_); }
    Json Trimmed(std::string_view bytes) const {
        while (!bytes.empty() && (bytes.back() == ' ' || bytes.back() == '\0'))
            bytes.remove_suffix(1);
        return (*this)(bytes);
    }
    Json OrNull(bool present, std::string_view bytes) const {
        return present ? (*this)(bytes) : Json(nullptr);
    }
    Json List(const std::vector<std::string>& texts) const {
        Json out = Json::array();
        for (const std::string& t : texts) out.push_back((*this)(t));
        return out;
    }

  private:
    std::string_view encoding_;
};

Json Number(double v) {
    return std::isfinite(v) ? Json(v) : Json(nullptr);
}

Json Attributes(const std::vector<DictAttribute>& attributes, const Texts& text) {
    Json out = Json::array();
    for (const DictAttribute& a : attributes)
        out.push_back({{"name", text(a.name)}, {"values", text.List(a.values)}});
    return out;
}

std::string_view CompressionWord(int compression) {
    switch (compression) {
        case SPSS_COMPRESSION_BYTECODE:
            return "bytecode";
        case SPSS_COMPRESSION_ZLIB:
            return "zlib";
        default:
            return "none";
    }
}

Json FileSection(const FileDictionary& d, const Texts& text, std::string_view encoding) {
    const spssFileHeaderInfo& h = d.header;
    Json file;
    file["path"] = ToUtf8(d.path, "UTF-8");
    file["product"] = text(d.product);
    file["creation_date"] = text(d.date);
    file["creation_time"] = text(d.time);
    file["label"] = text(d.fileLabel);
    file["compression"] = CompressionWord(h.compression);
    file["byte_order"] = h.bigEndian ? "big" : "little";
    file["layout_code"] = h.layoutCode;
    file["case_count"] = d.caseCount < 0 ? Json(nullptr) : Json(d.caseCount);
    file["header_case_count"] = h.headerCaseCount;
    file["case_count_64"] = h.caseCount64 < 0 ? Json(nullptr) : Json(h.caseCount64);
    file["nominal_case_size"] = h.nominalCaseSize;
    file["slot_count"] = h.slotCount;
    file["bias"] = Number(h.bias);
    file["weight_variable"] = d.weightVariable.empty() ? Json(nullptr) : text(d.weightVariable);
    if (d.hasReleaseInfo) {
        const int* r = d.release;
        file["release"] = {{"major", r[SPSS_RELINFO_MAJOR]},
                           {"minor", r[SPSS_RELINFO_MINOR]},
                           {"revision", r[SPSS_RELINFO_REVISION]},
                           {"machine_code", r[SPSS_RELINFO_MACHINE_CODE]},
                           {"floating_point_rep", r[SPSS_RELINFO_FLOAT_REP]},
                           {"compression_code", r[SPSS_RELINFO_COMPRESSION]},
                           {"endianness", r[SPSS_RELINFO_ENDIANNESS]},
                           {"character_code", r[SPSS_RELINFO_CHARACTER_CODE]}};
    } else {
        file["release"] = nullptr;
    }
    file["float_info"] = d.hasFloatInfo ? Json{{"sysmis", Number(d.sysmis)},
                                               {"highest", Number(d.highest)},
                                               {"lowest", Number(d.lowest)}}
                                        : Json(nullptr);
    file["encoding"] = {
        {"used", std::string(encoding)},
        {"record", text.OrNull(!d.encodingRecord.empty(), d.encodingRecord)},
        {"character_code", d.hasReleaseInfo ? Json(d.characterCode) : Json(nullptr)}};
    file["product_info"] = text.OrNull(!d.productInfo.empty(), d.productInfo);
    return file;
}

Json MultipleResponseSets(const FileDictionary& d, const Texts& text) {
    Json out = Json::array();
    for (const DictMultRespSet& s : d.mrsets) {
        Json set;
        set["name"] = text(s.name);
        set["label"] = text(s.label);
        set["type"] = s.dichotomy ? "dichotomy" : "category";
        set["counted_value"] = text.OrNull(s.dichotomy, s.countedValue);
        set["category_labels"] = !s.dichotomy           ? Json(nullptr)
                                 : s.countedValueLabels ? Json("counted_values")
                                                        : Json("variable_labels");
        set["label_from_first_variable"] = s.labelFromFirstVar;
        set["variables"] = text.List(s.variables);
        out.push_back(std::move(set));
    }
    return out;
}

Json MissingValues(const DictVariable& v, const Texts& text) {
    if (v.missingCode == SPSS_NO_MISSVAL) return nullptr;
    Json values = Json::array();
    Json range = nullptr;
    if (v.isString()) {
        for (int k = 0; k < v.missingCode && k < 3; ++k) values.push_back(text(v.missingText[k]));
    } else if (v.missingCode > 0) {
        for (int k = 0; k < v.missingCode && k < 3; ++k) values.push_back(Number(v.missing[k]));
    } else {
        const double lowest = -std::numeric_limits<double>::max();
        const double low = v.missing[0], high = v.missing[1];
        range = {{"low", low <= std::nextafter(lowest, 0.0) ? Json("LOWEST") : Number(low)},
                 {"high", high >= -lowest ? Json("HIGHEST") : Number(high)}};
        if (v.missingCode == SPSS_MISS_RANGEANDVAL) values.push_back(Number(v.missing[2]));
    }
    return {{"values", std::move(values)}, {"range", std::move(range)}};
}

Json Variable(const DictVariable& v, const Texts& text) {
    Json out;
    out["position"] = v.position;
    out["name"] = text(v.name);
    out["long_name"] = text(v.longName);
    out["label"] = text.OrNull(v.hasLabel, v.label);
    out["type"] = v.isString() ? "string" : "numeric";
    out["width"] = v.width;
    out["print_format"] = FormatText(v.print);
    out["write_format"] = FormatText(v.write);
    const std::string_view measure = MeasureWord(v.measure);
    out["measure"] = measure.empty() ? Json(nullptr) : Json(measure);
    out["display_width"] = v.columnWidth < 0 ? Json(nullptr) : Json(v.columnWidth);
    const std::string_view alignment = AlignmentWord(v.alignment);
    out["alignment"] = alignment.empty() ? Json(nullptr) : Json(alignment);
    out["role"] = RoleWord(v.role);
    out["attributes"] = Attributes(v.attributes, text);
    Json labels = Json::array();
    for (const auto& [value, label] : v.numericLabels)
        labels.push_back({{"value", Number(value)}, {"label", text(label)}});
    for (const auto& [value, label] : v.stringLabels)
        labels.push_back({{"value", text.Trimmed(value)}, {"label", text(label)}});
    out["value_labels"] = std::move(labels);
    out["missing_values"] = MissingValues(v, text);
    return out;
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

std::string DictionaryJson(const FileDictionary& d, std::string_view encoding) {
    const Texts text(encoding);
    Json root;
    root["format"] = "lorivane-dictionary";
    root["version"] = 1;
    root["file"] = FileSection(d, text, encoding);
    root["documents"] = text.List(d.documents);
    root["attributes"] = Attributes(d.attributes, text);
    root["multiple_response_sets"] = MultipleResponseSets(d, text);
    Json sets = Json::array();
    for (const DictVarSet& s : d.variableSets)
        sets.push_back({{"name", text(s.name)}, {"variables", text.List(s.variables)}});
    root["variable_sets"] = d.hasVariableSets ? std::move(sets) : Json(nullptr);
    Json records = Json::array();
    for (const spssExtensionRecord& r : d.extensions)
        records.push_back(
            {{"subtype", r.subtype}, {"size", r.size}, {"count", r.count}, {"offset", r.offset}});
    root["extension_records"] = std::move(records);
    root["warnings"] = text.List(d.warnings);
    Json variables = Json::array();
    for (const DictVariable& v : d.variables) variables.push_back(Variable(v, text));
    root["variables"] = std::move(variables);
    std::string out = root.dump(2, ' ', false, Json::error_handler_t::replace);
    out += '\n';
    return out;
}

}  // namespace lv
