#include "core/dictionary/file_dictionary.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "core/rendering/format_name.h"
#include "core/text/display_encoding.h"
#include "core/text/number_text.h"
#include "core/text/trim.h"

namespace lv {
namespace {

// Calls that fill a caller's buffer of a given size: retried with a larger
// buffer while the text does not fit.
template <typename Call>
int ReadWholeText(Call call, std::string* out) {
    std::vector<char> buffer(1024);
    for (;;) {
        const int st = call(buffer.data(), static_cast<int>(buffer.size()));
        // A text is never longer than the file; 64 MiB is where a text is
        // taken cut rather than asked for again.
        if (st != SPSS_BUFFER_SHORT || buffer.size() >= (1u << 26)) {
            out->assign(buffer.data(), strnlen(buffer.data(), buffer.size()));
            return st;
        }
        buffer.resize(buffer.size() * 4);
    }
}

std::string TrimmedBuffer(const char* buffer, size_t size) {
    std::string_view s(buffer, strnlen(buffer, size));
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    return std::string(s);
}

std::vector<std::pair<std::string, std::string>> AttributeEntries(char** names, char** values,
                                                                  int n) {
    std::vector<std::pair<std::string, std::string>> out;
    for (int i = 0; i < n; ++i) out.emplace_back(names[i], values[i]);
    return out;
}

int ReadHeader(int h, FileDictionary* d) {
    char system[SPSS_SYSTEM_STRING_SIZE] = {};
    char date[SPSS_TIME_STAMP_SIZE] = {}, time[SPSS_TIME_STAMP_SIZE] = {};
    char id[SPSS_ID_STRING_SIZE] = {};
    char weight[SPSS_WEIGHT_NAME_SIZE] = {};
    if (int st = spssGetSystemString(h, system)) return st;
    if (int st = spssGetTimeStamp(h, date, time)) return st;
    if (int st = spssGetIdString(h, id)) return st;
    if (int st = spssGetNumberofCases(h, &d->caseCount)) return st;
    if (int st = spssGetFileHeaderInfo(h, &d->header)) return st;
    d->product = TrimmedBuffer(system, sizeof system);
    d->date = TrimmedBuffer(date, sizeof date);
    d->time = TrimmedBuffer(time, sizeof time);
    d->fileLabel = TrimmedBuffer(id, sizeof id);
    if (spssGetCaseWeightVar(h, weight) == 0)
        d->weightVariable = TrimmedBuffer(weight, sizeof weight);
    d->hasReleaseInfo = spssGetReleaseInfo(h, d->release) == 0;
    if (d->hasReleaseInfo) d->characterCode = d->release[SPSS_RELINFO_CHARACTER_CODE];
    d->hasFloatInfo = spssGetFloatInfo(h, &d->sysmis, &d->highest, &d->lowest) == 0;
    ReadWholeText([&](char* b, int n) { return spssGetEncodingRecord(h, b, n); },
                  &d->encodingRecord);
    ReadWholeText([&](char* b, int n) { return spssGetFileEncoding(h, b, n); }, &d->encoding);
    return 0;
}

int ReadFileRecords(int h, FileDictionary* d) {
    char* product = nullptr;
    if (int st = spssGetProductInfo(h, &product)) return st;
    d->productInfo = product;
    spssFreeProductInfo(product);

    char** lines = nullptr;
    int n = 0;
    if (int st = spssGetFileDocuments(h, &lines, &n)) return st;
    d->documents.assign(lines, lines + n);
    spssFreeFileDocuments(lines, n);

    char** names = nullptr;
    char** values = nullptr;
    if (int st = spssGetFileAttributes(h, &names, &values, &n)) return st;
    d->attributes = GroupAttributes(AttributeEntries(names, values, n));
    spssFreeAttributes(names, values, n);

    spssMultRespSet* sets = nullptr;
    if (int st = spssGetMultRespSets(h, &sets, &n)) return st;
    for (int i = 0; i < n; ++i) {
        const spssMultRespSet& s = sets[i];
        d->mrsets.push_back({s.name, s.label, s.kind == SPSS_MRSET_DICHOTOMY, s.countedValue,
                             s.countedValueLabels != 0, s.labelFromFirstVar != 0,
                             std::vector<std::string>(s.varNames, s.varNames + s.numVars)});
    }
    spssFreeMultRespSets(sets, n);

    spssVarSet* varSets = nullptr;
    const int st = spssGetVariableSets(h, &varSets, &n);
    if (st != 0 && st != SPSS_NO_VARSETS && st != SPSS_EMPTY_VARSETS) return st;
    d->hasVariableSets = st != SPSS_NO_VARSETS;
    for (int i = 0; i < n; ++i)
        d->variableSets.push_back(
            {varSets[i].name, std::vector<std::string>(varSets[i].varNames,
                                                       varSets[i].varNames + varSets[i].numVars)});
    spssFreeVariableSets(varSets, n);

    spssExtensionRecord* records = nullptr;
    if (int st = spssGetExtensionRecords(h, &records, &n)) return st;
    d->extensions.assign(records, records + n);
    spssFreeExtensionRecords(records, n);

    if (int st = spssGetDictionaryWarnings(h, &lines, &n)) return st;
    d->warnings.assign(lines, lines + n);
    spssFreeDictionaryWarnings(lines, n);
    return 0;
}

int ReadValueLabels(int h, const char* name, DictVariable* v) {
    int n = 0;
    char** labels = nullptr;
    if (v->isString()) {
        char** values = nullptr;
        const int st = spssGetVarCValueLabels(h, name, &values, &labels, &n);
        if (st == SPSS_NO_LABELS) return 0;
        if (st) return st;
        for (int i = 0; i < n; ++i)
            v->stringLabels.emplace_back(WithoutTrailingBlanks(values[i]), labels[i]);
        spssFreeVarCValueLabels(values, labels, n);
    } else {
        double* values = nullptr;
        const int st = spssGetVarNValueLabels(h, name, &values, &labels, &n);
        if (st == SPSS_NO_LABELS) return 0;
        if (st) return st;
        for (int i = 0; i < n; ++i) v->numericLabels.emplace_back(values[i], labels[i]);
        spssFreeVarNValueLabels(values, labels, n);
    }
    return 0;
}

int ReadMissingValues(int h, const char* name, DictVariable* v) {
    if (!v->isString())
        return spssGetVarNMissingValues(h, name, &v->missingCode, &v->missing[0], &v->missing[1],
                                        &v->missing[2]);
    char text[3][SPSS_STRING_MISSING_SIZE] = {};
    const int st = spssGetVarCMissingValues(h, name, &v->missingCode, text[0], text[1], text[2]);
    for (int k = 0; k < 3; ++k) v->missingText[k] = TrimmedBuffer(text[k], sizeof text[k]);
    return st;
}

int ReadVariable(int h, int index, DictVariable* v) {
    char name[SPSS_VAR_NAME_SIZE] = {};
    if (int st = spssGetVarInfo(h, index, name, &v->width)) return st;
    v->position = index + 1;
    v->name.assign(name, strnlen(name, sizeof name));
    ReadWholeText([&](char* b, int n) { return spssGetVarLongName(h, name, b, n); }, &v->longName);
    const int labelStatus = ReadWholeText(
        [&](char* b, int n) { return spssGetVarFullLabel(h, name, b, n); }, &v->label);
    v->hasLabel = labelStatus == 0 || labelStatus == SPSS_BUFFER_SHORT;
    DictFormat& p = v->print;
    DictFormat& w = v->write;
    if (int st = spssGetVarPrintFormat(h, name, &p.type, &p.decimals, &p.width)) return st;
    if (int st = spssGetVarWriteFormat(h, name, &w.type, &w.decimals, &w.width)) return st;
    if (int st = spssGetVarMeasureLevel(h, name, &v->measure)) return st;
    if (int st = spssGetVarColumnWidth(h, name, &v->columnWidth)) return st;
    if (int st = spssGetVarAlignment(h, name, &v->alignment)) return st;
    if (int st = spssGetVarRole(h, name, &v->role)) return st;
    char** names = nullptr;
    char** values = nullptr;
    int n = 0;
    if (int st = spssGetVarAttributes(h, name, &names, &values, &n)) return st;
    v->attributes = GroupAttributes(AttributeEntries(names, values, n));
    spssFreeAttributes(names, values, n);
    if (int st = ReadValueLabels(h, name, v)) return st;
    return ReadMissingValues(h, name, v);
}

}  // namespace

std::vector<DictAttribute> GroupAttributes(
    const std::vector<std::pair<std::string, std::string>>& entries) {
    std::vector<DictAttribute> out;
    for (const auto& [entry, value] : entries) {
        std::string_view name = entry;
        // "Name[k]": an element of an array attribute, after its earlier elements.
        const size_t open = name.rfind('[');
        if (!name.empty() && name.back() == ']' && open != std::string_view::npos && open > 0 &&
            open + 2 < name.size() &&
            name.substr(open + 1, name.size() - open - 2).find_first_not_of("0123456789") ==
                std::string_view::npos) {
            const std::string_view base = name.substr(0, open);
            if (!out.empty() && out.back().name == base && name.substr(open) != "[1]") {
                out.back().values.push_back(value);
                continue;
            }
            if (name.substr(open) == "[1]") name = base;
        }
        out.push_back({std::string(name), {value}});
    }
    return out;
}

std::string FormatText(const DictFormat& f) {
    return FormatText(f.type, f.width, f.decimals);
}

OpenRefusal LastOpenRefusal() {
    OpenRefusal r;
    ReadWholeText([&](char* b, int n) { return spssGetOpenRefusal(&r.status, b, n, &r.offset); },
                  &r.reason);
    return r;
}

int ReadFileDictionary(const std::string& path, FileDictionary* out, Progress* progress) {
    *out = FileDictionary();
    out->path = path;
    int h = 0;
    if (int st = spssOpenRead(path.c_str(), &h)) {
        const OpenRefusal refusal = LastOpenRefusal();
        out->refusal = refusal.reason;
        out->refusalOffset = refusal.offset;
        return st;
    }
    int st = ReadHeader(h, out);
    if (st == 0) st = ReadFileRecords(h, out);
    int count = 0;
    if (st == 0) st = spssGetNumberofVariables(h, &count);
    if (st == 0) out->variables.resize(static_cast<size_t>(count));
    constexpr int kVariablesPerStep = 64;
    for (int i = 0; i < count && st == 0; ++i) {
        if (i % kVariablesPerStep == 0 &&
            !Continue(progress, static_cast<uint64_t>(i), static_cast<uint64_t>(count))) {
            st = kDictionaryCancelled;
            break;
        }
        st = ReadVariable(h, i, &out->variables[i]);
    }
    spssCloseRead(h);
    if (st != 0) return st;
    // The multiple-response sets labelled by their first variable show its label.
    std::unordered_map<std::string_view, const DictVariable*> byName;
    for (DictMultRespSet& set : out->mrsets) {
        if (!set.labelFromFirstVar || set.variables.empty()) continue;
        if (byName.empty())
            for (const DictVariable& v : out->variables) byName.emplace(v.name, &v);
        const auto it = byName.find(set.variables.front());
        if (it != byName.end()) set.label = it->second->label;
    }
    return 0;
}

}  // namespace lv
