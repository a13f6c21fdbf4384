// The checks of a file's description: everything that would make a file
// that readers refuse, misread or read differently is refused here, before
// the first byte is written.
#include "file_plan.h"

#include <bit>
#include <cstring>
#include <set>
#include <unordered_set>

#include "encoding/file_encoding_names.h"
#include "names.h"
#include "savio/spssfio.h"

namespace savio::writer {
namespace {

constexpr size_t kProductBytes = 60 - 20;  // after "@(#) SPSS DATA FILE "
constexpr size_t kFileLabelBytes = 64;
constexpr size_t kDocumentLineBytes = 80;
constexpr size_t kShortValueLabelBytes = 255;  // one length byte
constexpr size_t kStringMissingBytes = 8;
constexpr int kMaxSlots = 1 << 24;  // what readers accept in a case

[[noreturn]] void Fail(ErrorCode code, std::vector<std::string> args) {
    throw WriteError(code, std::move(args));
}

std::string Num(long long n) {
    return std::to_string(n);
}

bool IsKnownFormatType(int type) {
#define SAVIO_FORMAT_CASE(name, code, text) \
    case code:                              \
        return true;
    switch (type) { SPSS_FORMAT_TYPES(SAVIO_FORMAT_CASE) }
#undef SAVIO_FORMAT_CASE
    return false;
}

void CheckHeader(const FileSpec& spec) {
    if (spec.product.size() > kProductBytes)
        Fail(ErrorCode::InvalidHeader, {"product", spec.product});
    const Stamp& s = spec.created;
    if (s.year < 0 || s.month < 1 || s.month > 12 || s.day < 1 || s.day > 31 || s.hour < 0 ||
        s.hour > 23 || s.minute < 0 || s.minute > 59 || s.second < 0 || s.second > 59)
        Fail(ErrorCode::InvalidHeader,
             {"stamp", Num(s.year) + "-" + Num(s.month) + "-" + Num(s.day) + " " + Num(s.hour) +
                           ":" + Num(s.minute) + ":" + Num(s.second)});
    if (spec.fileLabel.size() > kFileLabelBytes)
        Fail(ErrorCode::InvalidHeader, {"file label", spec.fileLabel});
    if (spec.encoding.empty() || spec.encoding.size() > 64 ||
        !lv::IsAsciiCompatibleEncoding(spec.encoding))
        Fail(ErrorCode::InvalidEncoding, {spec.encoding});
    if (spec.caseCount < -1) Fail(ErrorCode::CaseCountMismatch, {Num(spec.caseCount), "0"});
}

void CheckFormat(size_t i, const Variable& v, const Format& f, const char* which) {
    if (f.type == 0) return;
    const bool stringType = f.type == SPSS_FMT_A || f.type == SPSS_FMT_AHEX;
    // A very long string's format is stored cut to its first segment's 255 bytes.
    const int maxWidth = v.width > kMaxSegmentWidth ? 2 * kMaxStringWidth : 255;
    if (!IsKnownFormatType(f.type) || stringType != (v.width > 0) || f.width < 1 ||
        f.width > maxWidth || f.decimals < 0 || f.decimals > 255)
        Fail(ErrorCode::InvalidFormat,
             {Num(long(i)), which, Num(f.type), Num(f.width), Num(f.decimals)});
}

void CheckMissing(size_t i, const Variable& v) {
    const Missing& m = v.missing;
    const auto bad = [&](const char* why) { Fail(ErrorCode::InvalidMissing, {Num(long(i)), why}); };
    if (v.width == 0) {
        if (!m.strings.empty()) bad("string values for a number");
        if (m.values.size() > (m.range ? 1u : 3u)) bad("too many values");
        return;
    }
    if (!m.values.empty() || m.range) bad("numbers for a string");
    if (m.strings.size() > 3) bad("too many values");
    const size_t most = std::min<size_t>(kStringMissingBytes, size_t(v.width));
    for (const std::string& s : m.strings)
        if (WithoutTrailingBlanks(s).size() > most) bad("a value longer than it may be");
}

void CheckValueLabels(size_t i, const Variable& v) {
    const auto bad = [&](const std::string& value, const char* why) {
        Fail(ErrorCode::InvalidValueLabel, {Num(long(i)), value, why});
    };
    if (v.width == 0 && !v.stringLabels.empty()) bad(v.stringLabels[0].first, "a string value");
    if (v.width > 0 && !v.numberLabels.empty())
        bad(std::to_string(v.numberLabels[0].first), "a number");
    const bool shortLabels = v.width <= 8;
    std::unordered_set<uint64_t> numbers;
    for (const auto& [value, label] : v.numberLabels) {
        if (label.size() > kShortValueLabelBytes) bad(std::to_string(value), "label too long");
        if (!numbers.insert(std::bit_cast<uint64_t>(value)).second)
            bad(std::to_string(value), "labelled twice");
    }
    std::set<std::string_view> strings;
    for (const auto& [value, label] : v.stringLabels) {
        const std::string_view trimmed = WithoutTrailingBlanks(value);
        if (trimmed.size() > size_t(v.width)) bad(value, "value wider than the variable");
        if (shortLabels && label.size() > kShortValueLabelBytes) bad(value, "label too long");
        if (!strings.insert(trimmed).second) bad(value, "labelled twice");
    }
}

void CheckAttributes(const std::string& owner, const std::vector<Attribute>& attributes,
                     bool withRole) {
    std::set<std::string> names;
    if (withRole) names.insert("$@Role");
    for (const Attribute& a : attributes) {
        bool ok = !a.name.empty() && !a.values.empty() && names.insert(a.name).second;
        for (char c : a.name) ok = ok && std::strchr("()'/:\n\t", c) == nullptr && c != ' ';
        for (const std::string& value : a.values) ok = ok && value.find("'\n") == std::string::npos;
        if (!ok) Fail(ErrorCode::InvalidAttribute, {owner, a.name});
    }
}

void CheckVariable(size_t i, const Variable& v) {
    if (!IsVariableName(v.name)) Fail(ErrorCode::InvalidName, {Num(long(i)), v.name});
    if (v.width < 0 || v.width > kMaxStringWidth)
        Fail(ErrorCode::InvalidWidth, {Num(long(i)), Num(v.width)});
    CheckFormat(i, v, v.print, "print");
    CheckFormat(i, v, v.write, "write");
    CheckMissing(i, v);
    CheckValueLabels(i, v);
    if (v.measure < 0 || v.measure > 3)
        Fail(ErrorCode::InvalidDisplay, {Num(long(i)), "measure", Num(v.measure)});
    if (v.columnWidth < 0)
        Fail(ErrorCode::InvalidDisplay, {Num(long(i)), "width", Num(v.columnWidth)});
    if (v.alignment < -1 || v.alignment > 2)
        Fail(ErrorCode::InvalidDisplay, {Num(long(i)), "alignment", Num(v.alignment)});
    if (v.role && (*v.role < 0 || *v.role > 5))
        Fail(ErrorCode::InvalidAttribute, {v.name, "$@Role"});
    CheckAttributes(v.name, v.attributes, v.role.has_value());
}

void CheckSets(const FileSpec& spec) {
    const auto bad = [](const std::string& set, const char* why) {
        Fail(ErrorCode::InvalidSet, {set, why});
    };
    const auto known = [&](int v) { return v >= 0 && size_t(v) < spec.variables.size(); };
    std::set<std::string> names;
    for (const MultipleResponseSet& s : spec.multipleResponseSets) {
        if (s.name.size() < 2 || s.name[0] != '$' || !IsVariableName(s.name.substr(1)))
            bad(s.name, "not a set name");
        if (!names.insert(AsciiUpper(s.name)).second) bad(s.name, "named twice");
        if (s.variables.size() < 2) bad(s.name, "fewer than two variables");
        for (int v : s.variables)
            if (!known(v)) bad(s.name, "no such variable");
        if (s.dichotomy && s.countedValue.empty()) bad(s.name, "no counted value");
        if (s.label.find('\n') != std::string::npos ||
            s.countedValue.find('\n') != std::string::npos)
            bad(s.name, "a line end in a text");
    }
    for (const VariableSet& s : spec.variableSets) {
        if (s.name.empty() || s.name.find_first_of("=\n\r") != std::string::npos)
            bad(s.name, "not a set name");
        for (int v : s.variables)
            if (!known(v)) bad(s.name, "no such variable");
    }
}

}  // namespace

std::string_view WithoutTrailingBlanks(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

int32_t PackedFormat(const Variable& v, const Format& f) {
    Format use = f;
    if (use.type == 0)
        use = v.width == 0 ? Format{SPSS_FMT_F, 8, 2} : Format{SPSS_FMT_A, v.width, 0};
    // A very long string's first segment carries the format; it holds 255 bytes.
    if (v.width > kMaxSegmentWidth) use.width = std::min(use.width, kMaxSegmentWidth);
    return use.type << 16 | use.width << 8 | use.decimals;
}

int MeasureOf(const Variable& v) {
    return v.measure != 0 ? v.measure : v.width == 0 ? 3 : 1;
}

int ColumnWidthOf(const Variable& v) {
    if (v.columnWidth > 0) return v.columnWidth;
    return std::max(1, (PackedFormat(v, v.print) >> 8) & 0xff);
}

int AlignmentOf(const Variable& v) {
    return v.alignment >= 0 ? v.alignment : v.width == 0 ? 1 : 0;
}

FilePlan PlanFile(const FileSpec& spec) {
    CheckHeader(spec);
    if (spec.variables.empty()) Fail(ErrorCode::NoSuchVariable, {"none"});
    std::unordered_set<std::string> longNames;
    for (size_t i = 0; i < spec.variables.size(); ++i) {
        const Variable& v = spec.variables[i];
        CheckVariable(i, v);
        if (!longNames.insert(AsciiUpper(v.name)).second)
            Fail(ErrorCode::DuplicateName, {Num(long(i)), v.name});
    }
    const int w = spec.weightVariable;
    if (w < -1 || w >= int(spec.variables.size()) ||
        (w >= 0 && spec.variables[size_t(w)].width != 0))
        Fail(ErrorCode::InvalidWeight, {Num(w)});
    for (size_t i = 0; i < spec.documents.size(); ++i)
        if (spec.documents[i].size() > kDocumentLineBytes)
            Fail(ErrorCode::InvalidDocument, {Num(long(i)), Num(long(spec.documents[i].size()))});
    CheckAttributes("file", spec.fileAttributes, false);
    CheckSets(spec);

    FilePlan plan;
    plan.layout = lv::LayoutOf(spec.encoding);
    plan.shortNames = MakeShortNames(spec.variables, plan.layout);
    for (const Variable& v : spec.variables) {
        plan.values.push_back({plan.slotCount, v.width, SegmentCount(v.width)});
        plan.slotCount += SlotCount(v.width);
        if (plan.slotCount > kMaxSlots)
            Fail(ErrorCode::RecordTooLarge, {"variables", Num(long(plan.slotCount) * 8)});
    }
    return plan;
}

}  // namespace savio::writer
