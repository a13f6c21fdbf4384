#include "core/dictionary/dictionary_json.h"

#include <cmath>
#include <limits>

#include "core/dictionary/dictionary_words.h"
#include "core/rendering/format_traits.h"
#include "core/state/spssdio1.h"
#include "core/text/display_encoding.h"
#include "core/text/json_writer.h"

namespace lv {
namespace {

// Writes the dictionary, its texts decoded from the encoding.
class DictionaryWriter {
  public:
    DictionaryWriter(std::string& out, std::string_view encoding)
        : json_(out), encoding_(encoding) {}

    void Write(const FileDictionary& d) {
        json_.BeginObject();
        json_.Field("format", "lorivane-dictionary").Field("version", 1);
        json_.Key("file");
        FileSection(d);
        json_.Key("documents");
        TextList(d.documents);
        json_.Key("attributes");
        Attributes(d.attributes);
        json_.Key("multiple_response_sets");
        MultipleResponseSets(d);
        json_.Key("variable_sets");
        if (d.hasVariableSets) {
            json_.BeginArray();
            for (const DictVarSet& s : d.variableSets) {
                json_.BeginObject(true).Key("name");
                Text(s.name);
                json_.Key("variables");
                TextList(s.variables);
                json_.EndObject();
            }
            json_.EndArray();
        } else {
            json_.Null();
        }
        json_.Key("extension_records").BeginArray();
        for (const spssExtensionRecord& r : d.extensions) {
            json_.BeginObject(true)
                .Field("subtype", r.subtype)
                .Field("size", r.size)
                .Field("count", r.count)
                .Field("offset", r.offset)
                .EndObject();
        }
        json_.EndArray();
        json_.Key("warnings");
        TextList(d.warnings);
        json_.Key("variables").BeginArray();
        for (const DictVariable& v : d.variables) Variable(v);
        json_.EndArray();
        json_.EndObject();
    }

  private:
    void Text(std::string_view bytes) { json_.String(ToUtf8(bytes, encoding_)); }
    void TextOrNull(bool present, std::string_view bytes) {
        if (present)
            Text(bytes);
        else
            json_.Null();
    }
    void TextList(const std::vector<std::string>& texts, bool inlined = false) {
        json_.BeginArray(inlined);
        for (const std::string& t : texts) Text(t);
        json_.EndArray();
    }
    void Attributes(const std::vector<DictAttribute>& attributes) {
        json_.BeginArray();
        for (const DictAttribute& a : attributes) {
            json_.BeginObject(true).Key("name");
            Text(a.name);
            json_.Key("values");
            TextList(a.values);
            json_.EndObject();
        }
        json_.EndArray();
    }

    void FileSection(const FileDictionary& d) {
        const spssFileHeaderInfo& h = d.header;
        json_.BeginObject();
        json_.Field("path", ToUtf8(d.path, "UTF-8")).Key("product");
        Text(d.product);
        json_.Key("creation_date");
        Text(d.date);
        json_.Key("creation_time");
        Text(d.time);
        json_.Key("label");
        Text(d.fileLabel);
        json_.Field("compression", CompressionWord(h.compression))
            .Field("byte_order", h.bigEndian ? "big" : "little")
            .Field("layout_code", h.layoutCode)
            .Key("case_count");
        if (d.caseCount < 0)
            json_.Null();
        else
            json_.Integer(d.caseCount);
        json_.Field("header_case_count", h.headerCaseCount).Key("case_count_64");
        if (h.caseCount64 < 0)
            json_.Null();
        else
            json_.Integer(h.caseCount64);
        json_.Key("cases_in_data");
        if (h.casesInData < 0)
            json_.Null();
        else
            json_.Integer(h.casesInData);
        json_.Field("nominal_case_size", h.nominalCaseSize)
            .Field("slot_count", h.slotCount)
            .Field("bias", h.bias)
            .Key("weight_variable");
        TextOrNull(!d.weightVariable.empty(), d.weightVariable);
        json_.Key("release");
        if (d.hasReleaseInfo) {
            const int* r = d.release;
            json_.BeginObject()
                .Field("major", r[SPSS_RELINFO_MAJOR])
                .Field("minor", r[SPSS_RELINFO_MINOR])
                .Field("revision", r[SPSS_RELINFO_REVISION])
                .Field("machine_code", r[SPSS_RELINFO_MACHINE_CODE])
                .Field("floating_point_rep", r[SPSS_RELINFO_FLOAT_REP])
                .Field("compression_code", r[SPSS_RELINFO_COMPRESSION])
                .Field("endianness", r[SPSS_RELINFO_ENDIANNESS])
                .Field("character_code", r[SPSS_RELINFO_CHARACTER_CODE])
                .EndObject();
        } else {
            json_.Null();
        }
        json_.Key("float_info");
        if (d.hasFloatInfo) {
            json_.BeginObject()
                .Field("sysmis", d.sysmis)
                .Field("highest", d.highest)
                .Field("lowest", d.lowest)
                .EndObject();
        } else {
            json_.Null();
        }
        json_.Key("encoding").BeginObject().Field("used", encoding_).Key("record");
        TextOrNull(!d.encodingRecord.empty(), d.encodingRecord);
        json_.Key("character_code");
        if (d.hasReleaseInfo)
            json_.Integer(d.characterCode);
        else
            json_.Null();
        json_.EndObject().Key("product_info");
        TextOrNull(!d.productInfo.empty(), d.productInfo);
        json_.EndObject();
    }

    void MultipleResponseSets(const FileDictionary& d) {
        json_.BeginArray();
        for (const DictMultRespSet& s : d.mrsets) {
            json_.BeginObject().Key("name");
            Text(s.name);
            json_.Key("label");
            Text(s.label);
            json_.Field("type", s.dichotomy ? "dichotomy" : "category").Key("counted_value");
            TextOrNull(s.dichotomy, s.countedValue);
            json_.Key("category_labels");
            if (s.dichotomy)
                json_.String(s.countedValueLabels ? "counted_values" : "variable_labels");
            else
                json_.Null();
            json_.Field("label_from_first_variable", s.labelFromFirstVar).Key("variables");
            TextList(s.variables, true);
            json_.EndObject();
        }
        json_.EndArray();
    }

    void MissingValues(const DictVariable& v) {
        if (v.missingCode == SPSS_NO_MISSVAL) {
            json_.Null();
            return;
        }
        json_.BeginObject(true).Key("values").BeginArray();
        if (v.isString()) {
            for (int k = 0; k < v.missingCode && k < 3; ++k) Text(v.missingText[k]);
        } else if (v.missingCode > 0) {
            for (int k = 0; k < v.missingCode && k < 3; ++k) json_.Number(v.missing[k]);
        } else if (v.missingCode == SPSS_MISS_RANGEANDVAL) {
            json_.Number(v.missing[2]);
        }
        json_.EndArray().Key("range");
        if (v.missingCode < 0) {
            const double max = std::numeric_limits<double>::max();
            json_.BeginObject().Key("low");
            if (v.missing[0] <= std::nextafter(-max, 0.0))
                json_.String("LOWEST");
            else
                json_.Number(v.missing[0]);
            json_.Key("high");
            if (v.missing[1] >= max)
                json_.String("HIGHEST");
            else
                json_.Number(v.missing[1]);
            json_.EndObject();
        } else {
            json_.Null();
        }
        json_.EndObject();
    }

    void Variable(const DictVariable& v) {
        json_.BeginObject().Field("position", v.position).Key("name");
        Text(v.name);
        json_.Key("long_name");
        Text(v.longName);
        json_.Key("label");
        TextOrNull(v.hasLabel, v.label);
        json_.Field("type", v.isString() ? "string" : "numeric")
            .Field("width", v.width)
            .Field("print_format", FormatText(v.print))
            .Field("write_format", FormatText(v.write))
            .Key("measure");
        WordOrNull(MeasureWord(v.measure));
        json_.Key("display_width");
        if (v.columnWidth < 0)
            json_.Null();
        else
            json_.Integer(v.columnWidth);
        json_.Key("alignment");
        WordOrNull(AlignmentWord(v.alignment));
        json_.Field("role", RoleWord(v.role)).Key("attributes");
        Attributes(v.attributes);
        json_.Key("value_labels").BeginArray();
        for (const auto& [value, label] : v.numericLabels) {
            json_.BeginObject(true).Field("value", value).Key("label");
            Text(label);
            json_.EndObject();
        }
        for (const auto& [value, label] : v.stringLabels) {
            json_.BeginObject(true).Key("value");
            Text(value);
            json_.Key("label");
            Text(label);
            json_.EndObject();
        }
        json_.EndArray().Key("missing_values");
        MissingValues(v);
        json_.EndObject();
    }

    void WordOrNull(std::string_view word) {
        if (word.empty())
            json_.Null();
        else
            json_.String(word);
    }

    static std::string_view CompressionWord(int compression) {
        switch (compression) {
            case SPSS_COMPRESSION_BYTECODE:
                return "bytecode";
            case SPSS_COMPRESSION_ZLIB:
                return "zlib";
            default:
                return "none";
        }
    }

    JsonWriter json_;
    std::string encoding_;
};

}  // namespace

std::string RefusalJson(const std::string& path, int status, const FileDictionary& refused) {
    std::string out;
    JsonWriter json(out);
    json.BeginObject();
    json.Field("format", "lorivane-dictionary").Field("version", 1);
    json.Field("path", ToUtf8(path, "UTF-8")).Key("error").BeginObject();
    json.Field("status", spssdio1::StatusName(status))
        .Field("reason", ToUtf8(refused.refusal, "UTF-8"));
    json.Key("offset");
    if (refused.refusalOffset < 0)
        json.Null();
    else
        json.Integer(refused.refusalOffset);
    json.EndObject().EndObject();
    return out;
}

std::string DictionaryJson(const FileDictionary& d, std::string_view encoding) {
    std::string out;
    out.reserve(4096 + 512 * d.variables.size());
    DictionaryWriter(out, encoding).Write(d);
    return out;
}

}  // namespace lv
