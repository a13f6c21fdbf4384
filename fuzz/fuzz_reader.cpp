// libFuzzer target: open the bytes as a system file, query the whole
// dictionary, then read every case and every value through the spss... calls;
// then read the cases again through the case index (a checkpoint at every
// case), all of them and single ones, and stop if any differs.
// The bytes that open are also read by the dictionary writers (JSON, the
// codebook, the file-information lines) through a file in memory.
// Bytes with the header of an encrypted file are decrypted with the
// password "fuzz" (the seeds hold such files), read and read again as such.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/codebook_csv.h"
#include "core/dictionary/dictionary_json.h"
#include "core/dictionary/file_dictionary.h"
#include "core/windows/file_info_lines.h"
#include "savio/case_indexer.h"
#include "savio/case_reread.h"
#include "savio/decrypting_reads.h"
#include "savio/file_passwords.h"
#include "savio/open_files.h"
#include "savio/spssfio.h"

namespace {

constexpr const char* kFuzzPassword = "fuzz";

void QueryFileRecords(int h) {
    spssFileHeaderInfo info;
    spssGetFileHeaderInfo(h, &info);
    int rel[SPSS_RELINFO_COUNT];
    spssGetReleaseInfo(h, rel);
    double a, b, c;
    spssGetFloatInfo(h, &a, &b, &c);
    char encoding[8];
    spssGetEncodingRecord(h, encoding, sizeof encoding);
    char* product = nullptr;
    if (spssGetProductInfo(h, &product) == 0) spssFreeProductInfo(product);
    char** texts = nullptr;
    char** values = nullptr;
    int n = 0;
    if (spssGetFileDocuments(h, &texts, &n) == 0) spssFreeFileDocuments(texts, n);
    if (spssGetFileAttributes(h, &texts, &values, &n) == 0) spssFreeAttributes(texts, values, n);
    spssMultRespSet* sets = nullptr;
    if (spssGetMultRespSets(h, &sets, &n) == 0) spssFreeMultRespSets(sets, n);
    spssVarSet* varSets = nullptr;
    if (spssGetVariableSets(h, &varSets, &n) == 0) spssFreeVariableSets(varSets, n);
    spssExtensionRecord* records = nullptr;
    if (spssGetExtensionRecords(h, &records, &n) == 0) spssFreeExtensionRecords(records, n);
    if (spssGetDictionaryWarnings(h, &texts, &n) == 0) spssFreeDictionaryWarnings(texts, n);
}

class DiscardLines : public lv::LineSink {
  public:
    void AddLine(const lv::DisplayLine& line) override { bytes += line.ByteSize(); }
    size_t bytes = 0;
};

// The writers over the bytes as a file (a memory file's /proc path).
void WriteDictionary(const uint8_t* data, size_t size) {
    const int fd = memfd_create("fuzz.sav", 0);
    if (fd < 0) return;
    if (write(fd, data, size) == static_cast<ssize_t>(size)) {
        lv::FileDictionary dict;
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        savio::RememberPassword(path, kFuzzPassword);
        if (lv::ReadFileDictionary(path, &dict) == 0) {
            volatile size_t sink = lv::DictionaryJson(dict, dict.encoding).size();
            sink = sink + lv::CodebookCsv(dict, "CP932").size();
            DiscardLines lines;
            lv::FileInfoLines(dict, dict.encoding, lines);
            lv::VariableDetailLines(dict, lines);
        }
    }
    savio::ForgetAllPasswords();
    close(fd);
}

void QueryVariable(int h, const char* name, int type) {
    char label[124];
    spssGetVarLabel(h, name, label);
    std::vector<char> full(70000);
    spssGetVarFullLabel(h, name, full.data(), static_cast<int>(full.size()));
    char longName[80];
    spssGetVarLongName(h, name, longName, sizeof longName);
    int t, d, w, code;
    spssGetVarPrintFormat(h, name, &t, &d, &w);
    spssGetVarWriteFormat(h, name, &t, &d, &w);
    spssGetVarMeasureLevel(h, name, &t);
    spssGetVarColumnWidth(h, name, &t);
    spssGetVarAlignment(h, name, &t);
    spssGetVarRole(h, name, &t);
    char** attributeNames = nullptr;
    char** attributeValues = nullptr;
    int count = 0;
    if (spssGetVarAttributes(h, name, &attributeNames, &attributeValues, &count) == 0)
        spssFreeAttributes(attributeNames, attributeValues, count);
    int n = 0;
    char** labels = nullptr;
    if (type == 0) {
        double a, b, c;
        spssGetVarNMissingValues(h, name, &code, &a, &b, &c);
        double* values = nullptr;
        if (spssGetVarNValueLabels(h, name, &values, &labels, &n) == 0)
            spssFreeVarNValueLabels(values, labels, n);
    } else {
        char a[9], b[9], c[9];
        spssGetVarCMissingValues(h, name, &code, a, b, c);
        char** values = nullptr;
        if (spssGetVarCValueLabels(h, name, &values, &labels, &n) == 0)
            spssFreeVarCValueLabels(values, labels, n);
    }
}

// A hash of one case's values: numbers' bits, strings' bytes.
struct CaseHash {
    uint64_t h = 1469598103934665603ull;
    void Add(const void* p, size_t n) {
        for (size_t i = 0; i < n; ++i)
            h = (h ^ static_cast<const uint8_t*>(p)[i]) * 1099511628211ull;
    }
};

// A value call that succeeds: the variable it reads (a handle may name
// another variable of the same name) and the variable asked about.
struct Read {
    int call;
    size_t variable;
};

uint64_t HashOfSlots(const savio::CaseIndex& index, const std::vector<Read>& plan,
                     const uint8_t* slots) {
    CaseHash hash;
    for (const Read& r : plan) {
        const savio::ValueSlots& v = index.values[r.variable];
        if (!v.isString()) {
            const double d = savio::SlotNumber(slots, v, index.shape.swap);
            hash.Add(&d, 8);
        } else {
            savio::ForEachStringPiece(slots, v,
                                      [&](const uint8_t* p, size_t n) { hash.Add(p, n); });
        }
    }
    return hash.h;
}

// The cases [first, last) read again agree with the hashes of the first read.
void CheckReread(const std::shared_ptr<savio::RandomReads>& bytes, const savio::CaseIndex& index,
                 const std::vector<Read>& plan, const std::vector<uint64_t>& hashes, int64_t first,
                 int64_t last) {
    int64_t next = first;
    const auto st =
        savio::RereadCasesFrom(bytes, index, first, last, [&](int64_t row, const uint8_t* slots) {
            if (row != next++ || HashOfSlots(index, plan, slots) != hashes[size_t(row)])
                __builtin_trap();
            return true;
        });
    if (st != savio::RereadStatus::Ok || next != std::min<int64_t>(last, index.cases))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int h = 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // What the re-reads read: the bytes, or the file they decrypt to.
    std::shared_ptr<savio::RandomReads> reads = std::make_shared<savio::MemoryReads>(data, size);
    if (savio::IsEncryptedSavHeader(data, size)) {
        if (savio::DecryptingReads::Open(reads, kFuzzPassword, &reads) != 0) return 0;
        if (savio::OpenEncryptedFromBytes(bytes, kFuzzPassword, "fuzz.sav", &h) != 0) return 0;
    }
    char text[80], date[10], time[10];
    int n;
    long long offset;
    if (h == 0 && savio::OpenFromBytes(bytes, "fuzz.sav", &h) != 0) {
        // A refused file has a reason, and its offset lies in the file.
        spssGetOpenRefusal(&n, text, sizeof text, &offset);
        if (n == 0 || offset < -1 || offset > static_cast<long long>(size)) __builtin_trap();
        return 0;
    }
    spssGetSystemString(h, text);
    spssGetTimeStamp(h, date, time);
    spssGetIdString(h, text);
    spssGetCaseWeightVar(h, text);
    spssGetCompression(h, &n);
    spssGetFileEncoding(h, text, sizeof text);
    spssGetNumberofCases(h, &n);
    QueryFileRecords(h);
    int nVars = 0;
    spssGetNumberofVariables(h, &nVars);
    std::vector<double> handles(static_cast<size_t>(nVars));
    std::vector<int> types(static_cast<size_t>(nVars));
    for (int i = 0; i < nVars; ++i) {
        char name[10];
        if (spssGetVarInfo(h, i, name, &types[i]) != 0) continue;
        QueryVariable(h, name, types[i]);
        spssGetVarHandle(h, name, &handles[i]);
    }
    // The value calls that succeed, known from the handles and types.
    savio::CaseIndex index;
    savio::GetCaseIndex(h, &index);
    std::vector<Read> plan;
    for (int i = 0; i < nVars; ++i) {
        const int v = savio::VariableIndexOfHandle(h, handles[i]);
        if (v >= 0 && (types[i] != 0) == index.values[static_cast<size_t>(v)].isString())
            plan.push_back({i, static_cast<size_t>(v)});
    }
    savio::FindOpenFile(h)->SetCheckpointShift(0);
    std::vector<char> value(32768);
    std::vector<uint64_t> hashes;
    // Bounded so that a fuzzed case count cannot make one input run for long.
    for (int c = 0; c < 100000 && spssReadCaseRecord(h) == 0; ++c) {
        for (int i = 0; i < nVars; ++i) {
            double d;
            if (types[i]) {
                spssGetValueChar(h, handles[i], value.data(), 5);
            } else if (spssGetValueNumeric(h, handles[i], &d) == 0) {
                int day, month, year;
                spssConvertSPSSDate(&day, &month, &year, d);
            }
        }
        CaseHash hash;
        for (const Read& r : plan) {
            double d = 0;
            if (types[r.call]) {
                if (spssGetValueChar(h, handles[r.call], value.data(),
                                     static_cast<int>(value.size())) != 0)
                    __builtin_trap();
                hash.Add(value.data(), static_cast<size_t>(index.values[r.variable].width));
            } else {
                if (spssGetValueNumeric(h, handles[r.call], &d) != 0) __builtin_trap();
                hash.Add(&d, 8);
            }
        }
        hashes.push_back(hash.h);
    }
    savio::GetCaseIndex(h, &index);
    // The indexer the grid runs on a thread, with a decoder of its own,
    // finds the same cases and checkpoints (within the same bound).
    if (auto indexer = savio::CaseIndexer::Of(h, 0); indexer && index.cases < 100000) {
        indexer->Read(100000);
        if (indexer->index().cases != index.cases ||
            indexer->index().checkpoints != index.checkpoints)
            __builtin_trap();
    }
    // Passing over the first half of the cases and reading on meets the
    // same end after the same cases, with the same checkpoints.
    if (index.cases < 100000 && savio::RestartCases(h)) {
        const int64_t half = index.cases / 2;
        if (savio::SkipCases(h, half) != half) __builtin_trap();
        int64_t read = half;
        while (spssReadCaseRecord(h) == 0) ++read;
        savio::CaseIndex again;
        savio::GetCaseIndex(h, &again);
        if (read != index.cases || again.checkpoints != index.checkpoints) __builtin_trap();
    }
    spssCloseRead(h);
    const auto cases = static_cast<int64_t>(hashes.size());
    if (index.cases != cases) __builtin_trap();
    CheckReread(reads, index, plan, hashes, 0, cases + 1);
    for (int64_t r : {int64_t{1}, cases / 2, cases - 1})
        if (r >= 0 && r < cases) CheckReread(reads, index, plan, hashes, r, r + 1);
    WriteDictionary(data, size);
    return 0;
}
