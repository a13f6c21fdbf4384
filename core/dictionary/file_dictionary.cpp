#include "core/dictionary/file_dictionary.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "core/text/trim.h"

namespace lv {
namespace {

// The first status other than 0 of the calls made.
class FirstFailure {
  public:
    void operator()(int status) {
        if (status_ == 0) status_ = status;
    }
    int status() const { return status_; }

  private:
    int status_ = 0;
};

std::string TrimmedBuffer(const char* buffer, size_t size) {
    return std::string(Trim(BufferBytes(buffer, size)));
}

int ReadHeader(const ReaderHandle& r, FileDictionary* d) {
    const int h = r.get();
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
    r.WholeText([&](char* b, int n) { return spssGetEncodingRecord(h, b, n); }, &d->encodingRecord);
    r.WholeText([&](char* b, int n) { return spssGetFileEncoding(h, b, n); }, &d->encoding);
    return 0;
}

int ReadFileRecords(const ReaderHandle& r, FileDictionary* d) {
    const int h = r.get();
    char* product = nullptr;
    if (int st = spssGetProductInfo(h, &product)) return st;
    d->productInfo = product;
    spssFreeProductInfo(product);

    char** lines = nullptr;
    int n = 0;
    if (int st = spssGetFileDocuments(h, &lines, &n)) return st;
    d->documents.assign(lines, lines + n);
    spssFreeFileDocuments(lines, n);

    AttributeEntries entries;
    if (int st = r.FileAttributes(&entries)) return st;
    d->attributes = GroupAttributes(entries);

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

void ReadVariable(const ReaderHandle& r, int index, DictVariable* v, FirstFailure& fail) {
    if (int st = r.VarInfo(index, &v->name, &v->width)) {
        fail(st);
        return;
    }
    v->position = index + 1;
    const std::string& name = v->name;
    r.LongName(name, &v->longName);
    const int labelStatus = r.FullLabel(name, &v->label);
    v->hasLabel = labelStatus == 0 || labelStatus == SPSS_BUFFER_SHORT;
    fail(r.GetPrintFormat(name, &v->print));
    fail(r.GetWriteFormat(name, &v->write));
    fail(spssGetVarMeasureLevel(r.get(), name.c_str(), &v->measure));
    fail(spssGetVarColumnWidth(r.get(), name.c_str(), &v->columnWidth));
    fail(spssGetVarAlignment(r.get(), name.c_str(), &v->alignment));
    fail(spssGetVarRole(r.get(), name.c_str(), &v->role));
    AttributeEntries entries;
    fail(r.VarAttributes(name, &entries));
    v->attributes = GroupAttributes(entries);
    ValueLabelList labels;
    const int labelsStatus = r.ValueLabels(name, v->isString(), &labels);
    if (labelsStatus != SPSS_NO_LABELS) fail(labelsStatus);
    v->numericLabels = std::move(labels.numeric);
    v->stringLabels = std::move(labels.strings);
    MissingValueSlots missing;
    fail(r.MissingValues(name, v->isString(), &missing));
    v->missingCode = missing.code;
    for (int k = 0; k < 3; ++k) {
        v->missing[k] = missing.numbers[k];
        v->missingText[k] = std::move(missing.texts[k]);
    }
    v->BuildLookups();
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

OpenRefusal LastOpenRefusal() {
    OpenRefusal r;
    ReaderHandle().WholeText(
        [&](char* b, int n) { return spssGetOpenRefusal(&r.status, b, n, &r.offset); }, &r.reason);
    return r;
}

int ReadFileDictionary(const std::string& path, FileDictionary* out, Progress* progress) {
    ReaderHandle reader;
    if (int st = reader.Open(path)) {
        *out = FileDictionary();
        out->path = path;
        const OpenRefusal refusal = LastOpenRefusal();
        out->refusal = refusal.reason;
        out->refusalOffset = refusal.offset;
        return st;
    }
    return ReadFileDictionary(reader, out, progress);
}

int ReadFileDictionary(const ReaderHandle& reader, FileDictionary* out, Progress* progress) {
    *out = FileDictionary();
    out->path = reader.path();
    FirstFailure fail;
    fail(ReadHeader(reader, out));
    fail(ReadFileRecords(reader, out));
    int count = 0;
    fail(spssGetNumberofVariables(reader.get(), &count));
    out->variables.resize(static_cast<size_t>(std::max(count, 0)));
    constexpr int kVariablesPerStep = 64;
    for (int i = 0; i < count; ++i) {
        if (i % kVariablesPerStep == 0 &&
            !Continue(progress, static_cast<uint64_t>(i), static_cast<uint64_t>(count)))
            return kDictionaryCancelled;
        ReadVariable(reader, i, &out->variables[i], fail);
    }
    if (fail.status() != 0) return fail.status();
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
