// The header and dictionary records, in the order writers usually emit
// them: variable records, value label pairs, documents, extension records,
// then the record that ends the dictionary.
#include "dictionary_records.h"

#include <cfloat>
#include <climits>

#include "names.h"
#include "record_bytes.h"
#include "savio/code_pages.h"
#include "savio/record_layout.h"
#include "savio/spssfio.h"

namespace savio::writer {
namespace {

constexpr std::string_view kProductPrefix = "@(#) SPSS DATA FILE ";
constexpr double kSysmis = -DBL_MAX;
constexpr double kHighest = DBL_MAX;
// The value that stands for LO in a missing range; one above system-missing.
constexpr double kLowest = std::bit_cast<double>(0xFFEFFFFFFFFFFFFEull);

std::string TwoDigits(int n) {
    return std::string{char('0' + n / 10 % 10), char('0' + n % 10)};
}

void Header(RecordBytes& out, const FileSpec& spec, const FilePlan& plan, int32_t headerCases) {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    out.Text(spec.compression == Compression::Zlib ? "$FL3" : "$FL2");
    out.Padded(std::string(kProductPrefix) + spec.product, header::kProductSize);
    out.I32(kUsualLayoutCode);
    out.I32(plan.slotCount);
    out.I32(spec.compression == Compression::None       ? kCompressionNone
            : spec.compression == Compression::Bytecode ? kCompressionBytecode
                                                        : kCompressionZlib);
    const int w = spec.weightVariable;
    out.I32(w < 0 ? 0 : plan.values[size_t(w)].firstSlot + 1);
    out.I32(headerCases);
    out.F64(100.0);
    const Stamp& s = spec.created;
    out.Text(TwoDigits(s.day) + " " + kMonths[s.month - 1] + " " + TwoDigits(s.year % 100));
    out.Text(TwoDigits(s.hour) + ":" + TwoDigits(s.minute) + ":" + TwoDigits(s.second));
    out.Padded(spec.fileLabel, header::kFileLabelSize);
    out.Padded("", 3, '\0');
}

// One variable record; continuation records follow for the slots after the first.
void VariableRecord(RecordBytes& out, int32_t type, const std::string& name, int32_t print,
                    int32_t write, const std::string* label, const Variable* missingOf) {
    const Missing* m = missingOf ? &missingOf->missing : nullptr;
    int32_t code = 0;
    if (m && missingOf->width == 0)
        code = m->range ? (m->values.empty() ? -2 : -3) : int32_t(m->values.size());
    else if (m && missingOf->width <= 8)
        code = int32_t(m->strings.size());
    out.I32(kRecordVariable);
    out.I32(type);
    out.I32(label ? 1 : 0);
    out.I32(code);
    out.I32(print);
    out.I32(write);
    out.Padded(name, kShortNameSize);
    if (label) {
        out.I32(int32_t(label->size()));
        out.Padded(*label, (label->size() + 3) / 4 * 4);
    }
    if (code < 0) {
        out.F64(m->range->first);
        out.F64(m->range->second);
    }
    if (code == -3 || (code > 0 && missingOf->width == 0))
        for (double d : m->values) out.F64(d);
    if (code > 0 && missingOf->width > 0)
        for (const std::string& s : m->strings) out.Padded(WithoutTrailingBlanks(s), 8);
    const int slots = (type == 0 ? 8 : type + 7) / 8;
    for (int k = 1; k < slots; ++k) {
        out.I32(kRecordVariable);
        out.I32(kContinuationType);
        for (int f = 0; f < 4; ++f) out.I32(0);
        out.Padded("", kShortNameSize, '\0');
    }
}

void VariableRecords(RecordBytes& out, const FileSpec& spec, const FilePlan& plan) {
    for (size_t i = 0; i < spec.variables.size(); ++i) {
        const Variable& v = spec.variables[i];
        const int32_t print = PackedFormat(v, v.print);
        const int32_t write = v.write.type == 0 ? print : PackedFormat(v, v.write);
        const int segments = SegmentCount(v.width);
        for (int k = 0; k < segments; ++k) {
            const int declared = SegmentDeclaredWidth(v.width, k);
            if (k == 0) {
                VariableRecord(out, declared, plan.shortNames[i][0], print, write,
                               v.label ? &*v.label : nullptr, &v);
            } else {
                const int32_t a = SPSS_FMT_A << 16 | declared << 8;
                VariableRecord(out, declared, plan.shortNames[i][size_t(k)], a, a, nullptr,
                               nullptr);
            }
        }
    }
}

void ValueLabelEntry(RecordBytes& out, const std::string& label) {
    out.Byte(uint8_t(label.size()));
    out.Padded(label, (label.size() + 1 + 7) / 8 * 8 - 1);
}

void ValueLabelRecords(RecordBytes& out, const FileSpec& spec, const FilePlan& plan) {
    for (size_t i = 0; i < spec.variables.size(); ++i) {
        const Variable& v = spec.variables[i];
        const size_t count = v.width == 0 ? v.numberLabels.size() : v.stringLabels.size();
        if (count == 0 || v.width > 8) continue;
        out.I32(kRecordValueLabels);
        out.I32(int32_t(count));
        for (const auto& [value, label] : v.numberLabels) {
            out.F64(value);
            ValueLabelEntry(out, label);
        }
        for (const auto& [value, label] : v.stringLabels) {
            out.Padded(WithoutTrailingBlanks(value), 8);
            ValueLabelEntry(out, label);
        }
        out.I32(kRecordLabelVariables);
        out.I32(1);
        out.I32(plan.values[i].firstSlot + 1);
    }
}

void Extension(RecordBytes& out, int32_t subtype, int32_t size, const std::string& body) {
    if (body.size() / size_t(size) > size_t(INT32_MAX))
        throw WriteError(ErrorCode::RecordTooLarge,
                         {std::to_string(subtype), std::to_string(body.size())});
    out.I32(kRecordExtension);
    out.I32(subtype);
    out.I32(size);
    out.I32(int32_t(body.size() / size_t(size)));
    out.Text(body);
}

std::string AttributeSet(const std::vector<Attribute>& attributes, const std::optional<int>& role) {
    std::string out;
    for (const Attribute& a : attributes) {
        out += a.name + "(";
        for (const std::string& value : a.values) out += "'" + value + "'\n";
        out += ")";
    }
    if (role) out += "$@Role('" + std::to_string(*role) + "'\n)";
    return out;
}

std::string Counted(const std::string& text) {
    return std::to_string(text.size()) + " " + text;
}

void MultipleResponseRecords(RecordBytes& out, const FileSpec& spec, const FilePlan& plan) {
    std::string old, counted;
    for (const MultipleResponseSet& s : spec.multipleResponseSets) {
        std::string line = s.name + "=";
        if (!s.dichotomy)
            line += "C " + Counted(s.label);
        else if (!s.countedValueLabels)
            line += "D" + Counted(s.countedValue) + " " + Counted(s.label);
        else
            line += std::string("E ") + (s.labelFromVariable ? "11" : "1") + " " +
                    Counted(s.countedValue) + " " + Counted(s.label);
        for (int v : s.variables) {
            std::string name = plan.shortNames[size_t(v)][0];
            for (char& c : name)
                if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
            line += " " + name;
        }
        (s.dichotomy && s.countedValueLabels ? counted : old) += line + "\n";
    }
    if (!old.empty()) Extension(out, kExtMultipleResponse, 1, old);
    if (!counted.empty()) Extension(out, kExtCountedMultipleResponse, 1, counted);
}

void LongStringLabels(RecordBytes& out, const FileSpec& spec) {
    RecordBytes body;
    for (const Variable& v : spec.variables) {
        if (v.width <= 8 || v.stringLabels.empty()) continue;
        body.I32(int32_t(v.name.size()));
        body.Text(v.name);
        body.I32(v.width);
        body.I32(int32_t(v.stringLabels.size()));
        for (const auto& [value, label] : v.stringLabels) {
            body.I32(v.width);
            body.Padded(WithoutTrailingBlanks(value), size_t(v.width));
            body.I32(int32_t(label.size()));
            body.Text(label);
        }
    }
    if (body.size()) Extension(out, kExtLongStringLabels, 1, body.bytes());
}

// The layout with one length for all of a variable's values, as the vendor writes
// it and ReadStat reads it (PSPP 1.6.2 reads a length before each value).
void LongStringMissing(RecordBytes& out, const FileSpec& spec) {
    RecordBytes body;
    for (const Variable& v : spec.variables) {
        if (v.width <= 8 || v.missing.strings.empty()) continue;
        body.I32(int32_t(v.name.size()));
        body.Text(v.name);
        body.Byte(uint8_t(v.missing.strings.size()));
        body.I32(8);
        for (const std::string& s : v.missing.strings) body.Padded(WithoutTrailingBlanks(s), 8);
    }
    if (body.size()) Extension(out, kExtLongStringMissing, 1, body.bytes());
}

void ExtensionRecords(RecordBytes& out, const FileSpec& spec, const FilePlan& plan) {
    RecordBytes info;
    for (int r : spec.release) info.I32(r);
    info.I32(-1);  // machine code
    info.I32(integer_info::kIeee754);
    info.I32(1);  // compression code, 1 whatever the header says
    info.I32(2);  // little-endian
    info.I32(EncodingCodePage(spec.encoding));
    Extension(out, kExtIntegerInfo, 4, info.bytes());

    RecordBytes floats;
    floats.F64(kSysmis);
    floats.F64(kHighest);
    floats.F64(kLowest);
    Extension(out, kExtFloatInfo, 8, floats.bytes());

    if (spec.writeVariableSets) {
        std::string sets;
        for (const VariableSet& s : spec.variableSets) {
            sets += s.name + "=";
            for (int v : s.variables) sets += " " + spec.variables[size_t(v)].name;
            sets += "\n";
        }
        Extension(out, kExtVariableSets, 1, sets);
    }
    MultipleResponseRecords(out, spec, plan);
    if (!spec.productInfo.empty()) Extension(out, kExtProductInfo, 1, spec.productInfo);

    RecordBytes display;
    for (const Variable& v : spec.variables) {
        for (int k = 0, n = SegmentCount(v.width); k < n; ++k) {
            display.I32(MeasureOf(v));
            display.I32(ColumnWidthOf(v));
            display.I32(AlignmentOf(v));
        }
    }
    Extension(out, kExtDisplayParameters, 4, display.bytes());

    std::string longNames, veryLong;
    for (size_t i = 0; i < spec.variables.size(); ++i) {
        const Variable& v = spec.variables[i];
        if (i) longNames += '\t';
        longNames += plan.shortNames[i][0] + "=" + v.name;
        if (v.width > kMaxSegmentWidth) {
            const std::string digits = std::to_string(v.width);
            veryLong += plan.shortNames[i][0] + "=" + std::string(5 - digits.size(), '0') + digits;
            veryLong += std::string("\0\t", 2);
        }
    }
    Extension(out, kExtLongNames, 1, longNames);
    if (!veryLong.empty()) Extension(out, kExtVeryLongStrings, 1, veryLong);

    const std::string fileAttributes = AttributeSet(spec.fileAttributes, std::nullopt);
    if (!fileAttributes.empty()) Extension(out, kExtFileAttributes, 1, fileAttributes);
    std::string variableAttributes;
    for (const Variable& v : spec.variables) {
        const std::string set = AttributeSet(v.attributes, v.role);
        if (set.empty()) continue;
        if (!variableAttributes.empty()) variableAttributes += '/';
        variableAttributes += v.name + ":" + set;
    }
    if (!variableAttributes.empty()) Extension(out, kExtVariableAttributes, 1, variableAttributes);

    Extension(out, kExtEncoding, 1, spec.encoding);
    LongStringLabels(out, spec);
    LongStringMissing(out, spec);
}

}  // namespace

std::string DictionaryBytes(const FileSpec& spec, const FilePlan& plan, int32_t headerCases) {
    RecordBytes out;
    Header(out, spec, plan, headerCases);
    VariableRecords(out, spec, plan);
    ValueLabelRecords(out, spec, plan);
    if (!spec.documents.empty()) {
        out.I32(kRecordDocument);
        out.I32(int32_t(spec.documents.size()));
        for (const std::string& line : spec.documents) out.Padded(line, kDocumentLineSize);
    }
    ExtensionRecords(out, spec, plan);
    out.I32(kRecordEndOfDictionary);
    out.I32(0);
    return std::move(out.bytes());
}

}  // namespace savio::writer
