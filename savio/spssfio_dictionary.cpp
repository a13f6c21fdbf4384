// The spss... calls for the rest of the dictionary: header details, machine
// and product records, documents, attributes, display parameters and roles,
// multiple-response and variable sets, the extension records, warnings.
#include <bit>
#include <cstdlib>
#include <string>

#include "c_arrays.h"
#include "call_support.h"
#include "record_layout.h"
#include "refusal.h"
#include "savio/spssfio.h"

using savio::Attribute;
using savio::SavFile;
using savio::Variable;

namespace {

// An attribute's entries as the calls give them: Name, or Name[1], Name[2]...
std::vector<std::pair<std::string, const std::string*>> AttributeEntries(
    const std::vector<Attribute>& attributes) {
    std::vector<std::pair<std::string, const std::string*>> out;
    for (const Attribute& a : attributes) {
        if (a.values.size() == 1) {
            out.emplace_back(a.name, &a.values[0]);
            continue;
        }
        for (size_t k = 0; k < a.values.size(); ++k)
            out.emplace_back(a.name + "[" + std::to_string(k + 1) + "]", &a.values[k]);
    }
    return out;
}

int GiveAttributes(const std::vector<Attribute>& attributes, char*** names, char*** values,
                   int* count) {
    *names = nullptr;
    *values = nullptr;
    *count = 0;
    const auto entries = AttributeEntries(attributes);
    if (entries.empty()) return SPSS_OK;
    const size_t n = entries.size();
    char** a = savio::TextArray(n, [&](size_t i) { return std::string_view(entries[i].first); });
    char** b = savio::TextArray(n, [&](size_t i) { return std::string_view(*entries[i].second); });
    if (!a || !b) {
        savio::FreeTexts(a, a ? static_cast<int>(n) : 0);
        savio::FreeTexts(b, b ? static_cast<int>(n) : 0);
        return SPSS_NO_MEMORY;
    }
    *names = a;
    *values = b;
    *count = static_cast<int>(n);
    return SPSS_OK;
}

int GiveTexts(const std::vector<std::string>& texts, char*** out, int* count) {
    *out = nullptr;
    *count = 0;
    if (texts.empty()) return SPSS_OK;
    char** a = savio::TextArray(texts.size(), [&](size_t i) { return std::string_view(texts[i]); });
    if (!a) return SPSS_NO_MEMORY;
    *out = a;
    *count = static_cast<int>(texts.size());
    return SPSS_OK;
}

// The members' short names of a set.
char** MemberNames(const SavFile& f, const std::vector<int>& members) {
    if (members.empty()) return nullptr;
    const auto& vars = f.dict().variables;
    return savio::TextArray(members.size(), [&](size_t i) {
        return std::string_view(vars[static_cast<size_t>(members[i])].shortName);
    });
}

void FreeMultRespSet(spssMultRespSet& s) {
    std::free(s.name);
    std::free(s.label);
    std::free(s.countedValue);
    savio::FreeTexts(s.varNames, s.numVars);
}

void FreeVarSet(spssVarSet& s) {
    std::free(s.name);
    savio::FreeTexts(s.varNames, s.numVars);
}

template <typename Fn>
int ForVariable(int h, const char* varName, void* out, Fn fn) {
    SavFile* f;
    int st;
    const Variable* v = savio::VariableOf(h, varName, &f, &st);
    if (!v) return st;
    if (!out) return SPSS_INVALID_HANDLE;
    fn(*v);
    return SPSS_OK;
}

}  // namespace

extern "C" {

int spssGetFileHeaderInfo(int h, spssFileHeaderInfo* info) {
    SavFile* f = savio::FindOpenFile(h);
    if (!f || !info) return SPSS_INVALID_HANDLE;
    const savio::Dictionary& d = f->dict();
    info->compression = d.compression == savio::Compression::None       ? SPSS_COMPRESSION_NONE
                        : d.compression == savio::Compression::Bytecode ? SPSS_COMPRESSION_BYTECODE
                                                                        : SPSS_COMPRESSION_ZLIB;
    info->bigEndian = d.swap == (std::endian::native == std::endian::little) ? 1 : 0;
    info->layoutCode = d.layoutCode;
    info->nominalCaseSize = d.nominalCaseSize;
    info->slotCount = d.slotCount;
    info->weightIndex = d.weightIndex;
    info->headerCaseCount = d.headerCaseCount;
    info->caseCount64 = d.extCaseCount;
    info->bias = d.bias;
    info->casesInData = f->casesInData();
    return SPSS_OK;
}

int spssGetReleaseInfo(int h, int relInfo[SPSS_RELINFO_COUNT]) {
    SavFile* f = savio::FindOpenFile(h);
    if (!f || !relInfo) return SPSS_INVALID_HANDLE;
    if (!f->dict().hasIntegerInfo) return SPSS_NO_TYPE73;
    for (int i = 0; i < SPSS_RELINFO_COUNT; ++i) relInfo[i] = f->dict().integerInfo[i];
    return SPSS_OK;
}

int spssGetFloatInfo(int h, double* sysmis, double* highest, double* lowest) {
    SavFile* f = savio::FindOpenFile(h);
    if (!f || !sysmis || !highest || !lowest) return SPSS_INVALID_HANDLE;
    if (!f->dict().hasFloatInfo) return SPSS_NO_TYPE73;
    *sysmis = f->dict().floatInfo[0];
    *highest = f->dict().floatInfo[1];
    *lowest = f->dict().floatInfo[2];
    return SPSS_OK;
}

int spssGetEncodingRecord(int h, char* name, int bufSize) {
    SavFile* f = savio::FindOpenFile(h);
    if (!f || !name) return SPSS_INVALID_HANDLE;
    if (bufSize < 1) return SPSS_BUFFER_SHORT;
    const std::string& record = f->dict().encodingRecord;
    savio::CopyText(name, static_cast<size_t>(bufSize), record);
    return record.size() < static_cast<size_t>(bufSize) ? SPSS_OK : SPSS_BUFFER_SHORT;
}

int spssGetProductInfo(int h, char** text) {
    SavFile* f = savio::FindOpenFile(h);
    if (!f || !text) return SPSS_INVALID_HANDLE;
    *text = savio::DuplicateText(f->dict().productInfo);
    return *text ? SPSS_OK : SPSS_NO_MEMORY;
}

int spssFreeProductInfo(char* text) {
    std::free(text);
    return SPSS_OK;
}

int spssGetFileDocuments(int h, char*** lines, int* numLines) {
    SavFile* f = savio::FindOpenFile(h);
    if (!f || !lines || !numLines) return SPSS_INVALID_HANDLE;
    return GiveTexts(f->dict().documents, lines, numLines);
}

int spssFreeFileDocuments(char** lines, int numLines) {
    savio::FreeTexts(lines, numLines);
    return SPSS_OK;
}

int spssGetFileAttributes(int h, char*** names, char*** values, int* count) {
    SavFile* f = savio::FindOpenFile(h);
    if (!f || !names || !values || !count) return SPSS_INVALID_HANDLE;
    return GiveAttributes(f->dict().fileAttributes, names, values, count);
}

int spssGetVarAttributes(int h, const char* varName, char*** names, char*** values, int* count) {
    SavFile* f;
    int st;
    const Variable* v = savio::VariableOf(h, varName, &f, &st);
    if (!v) return st;
    if (!names || !values || !count) return SPSS_INVALID_HANDLE;
    return GiveAttributes(v->attributes, names, values, count);
}

int spssFreeAttributes(char** names, char** values, int count) {
    savio::FreeTexts(names, count);
    savio::FreeTexts(values, count);
    return SPSS_OK;
}

int spssGetVarMeasureLevel(int h, const char* varName, int* measureLevel) {
    return ForVariable(h, varName, measureLevel, [&](const Variable& v) {
        *measureLevel = v.display.measure < 0 ? SPSS_MLVL_UNK : v.display.measure;
    });
}

int spssGetVarColumnWidth(int h, const char* varName, int* columnWidth) {
    return ForVariable(h, varName, columnWidth,
                       [&](const Variable& v) { *columnWidth = v.display.width; });
}

int spssGetVarAlignment(int h, const char* varName, int* alignment) {
    return ForVariable(h, varName, alignment, [&](const Variable& v) {
        *alignment = v.display.alignment < 0 ? SPSS_ALIGN_UNK : v.display.alignment;
    });
}

int spssGetVarRole(int h, const char* varName, int* role) {
    return ForVariable(h, varName, role, [&](const Variable& v) { *role = v.role; });
}

int spssGetMultRespSets(int h, spssMultRespSet** sets, int* numSets) {
    SavFile* f = savio::FindOpenFile(h);
    if (!f || !sets || !numSets) return SPSS_INVALID_HANDLE;
    *sets = nullptr;
    *numSets = 0;
    const auto& all = f->dict().mrsets;
    if (all.empty()) return SPSS_OK;
    auto* out = static_cast<spssMultRespSet*>(std::calloc(all.size(), sizeof(spssMultRespSet)));
    if (!out) return SPSS_NO_MEMORY;
    bool ok = true;
    for (size_t i = 0; i < all.size() && ok; ++i) {
        const savio::MultipleResponseSet& s = all[i];
        spssMultRespSet& o = out[i];
        o.name = savio::DuplicateText(s.name);
        o.label = savio::DuplicateText(s.label);
        o.kind = s.dichotomy ? SPSS_MRSET_DICHOTOMY : SPSS_MRSET_CATEGORY;
        o.countedValue = savio::DuplicateText(s.countedValue);
        o.countedValueLabels = s.countedValueLabels ? 1 : 0;
        o.labelFromFirstVar = s.labelFromVariable ? 1 : 0;
        o.varNames = MemberNames(*f, s.variables);
        o.numVars = o.varNames ? static_cast<int>(s.variables.size()) : 0;
        ok = o.name && o.label && o.countedValue && o.varNames;
    }
    if (!ok) {
        spssFreeMultRespSets(out, static_cast<int>(all.size()));
        return SPSS_NO_MEMORY;
    }
    *sets = out;
    *numSets = static_cast<int>(all.size());
    return SPSS_OK;
}

int spssFreeMultRespSets(spssMultRespSet* sets, int numSets) {
    if (!sets) return SPSS_OK;
    for (int i = 0; i < numSets; ++i) FreeMultRespSet(sets[i]);
    std::free(sets);
    return SPSS_OK;
}

int spssGetVariableSets(int h, spssVarSet** sets, int* numSets) {
    SavFile* f = savio::FindOpenFile(h);
    if (!f || !sets || !numSets) return SPSS_INVALID_HANDLE;
    *sets = nullptr;
    *numSets = 0;
    const savio::Dictionary& d = f->dict();
    if (!d.hasVariableSets) return SPSS_NO_VARSETS;
    if (d.variableSets.empty()) return SPSS_EMPTY_VARSETS;
    const size_t n = d.variableSets.size();
    auto* out = static_cast<spssVarSet*>(std::calloc(n, sizeof(spssVarSet)));
    if (!out) return SPSS_NO_MEMORY;
    bool ok = true;
    for (size_t i = 0; i < n && ok; ++i) {
        const savio::VariableSet& s = d.variableSets[i];
        out[i].name = savio::DuplicateText(s.name);
        out[i].varNames = MemberNames(*f, s.variables);
        out[i].numVars = out[i].varNames ? static_cast<int>(s.variables.size()) : 0;
        ok = out[i].name && (s.variables.empty() || out[i].varNames);
    }
    if (!ok) {
        spssFreeVariableSets(out, static_cast<int>(n));
        return SPSS_NO_MEMORY;
    }
    *sets = out;
    *numSets = static_cast<int>(n);
    return SPSS_OK;
}

int spssFreeVariableSets(spssVarSet* sets, int numSets) {
    if (!sets) return SPSS_OK;
    for (int i = 0; i < numSets; ++i) FreeVarSet(sets[i]);
    std::free(sets);
    return SPSS_OK;
}

int spssGetExtensionRecords(int h, spssExtensionRecord** records, int* count) {
    SavFile* f = savio::FindOpenFile(h);
    if (!f || !records || !count) return SPSS_INVALID_HANDLE;
    *records = nullptr;
    *count = 0;
    const auto& all = f->dict().extensions;
    if (all.empty()) return SPSS_OK;
    auto* out =
        static_cast<spssExtensionRecord*>(std::malloc(all.size() * sizeof(spssExtensionRecord)));
    if (!out) return SPSS_NO_MEMORY;
    for (size_t i = 0; i < all.size(); ++i)
        out[i] = {all[i].subtype, all[i].size, all[i].count, static_cast<long long>(all[i].offset)};
    *records = out;
    *count = static_cast<int>(all.size());
    return SPSS_OK;
}

int spssFreeExtensionRecords(spssExtensionRecord* records, int) {
    std::free(records);
    return SPSS_OK;
}

int spssGetOpenRefusal(int* status, char* reason, int bufSize, long long* offset) {
    if (!status || !reason || !offset) return SPSS_INVALID_HANDLE;
    if (bufSize < 1) return SPSS_BUFFER_SHORT;
    const savio::Refusal& r = savio::LastRefusal();
    *status = r.status;
    *offset = r.offset;
    savio::CopyText(reason, static_cast<size_t>(bufSize), r.reason);
    return r.reason.size() < static_cast<size_t>(bufSize) ? SPSS_OK : SPSS_BUFFER_SHORT;
}

int spssGetDictionaryWarnings(int h, char*** texts, int* count) {
    SavFile* f = savio::FindOpenFile(h);
    if (!f || !texts || !count) return SPSS_INVALID_HANDLE;
    return GiveTexts(f->dict().warnings, texts, count);
}

int spssFreeDictionaryWarnings(char** texts, int count) {
    savio::FreeTexts(texts, count);
    return SPSS_OK;
}

}  // extern "C"
