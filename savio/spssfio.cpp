// The file-level calls of the spss... boundary: open and close, the header's
// facts, case reading and value access.
#include "savio/spssfio.h"

#include <cmath>
#include <limits>

#include "call_support.h"
#include "random_reads.h"
#include "readable_bytes.h"
#include "refusal.h"
#include "savio/file_passwords.h"
#include "spss_date.h"
#include "var_handles.h"

using savio::FindOpenFile;
using savio::SavFile;

namespace {

using savio::VarHandleOf;

// Where the value of a handle's variable lies, or nullptr when the handle is
// not one of this file's.
const savio::ValueSlots* SlotsOfHandle(const SavFile& f, double handle) {
    const int index = savio::VariableIndexOf(f, handle);
    return index < 0 ? nullptr : &f.valueSlots()[static_cast<size_t>(index)];
}

}  // namespace

extern "C" {

int spssOpenRead(const char* fileName, int* h) {
    savio::ClearRefusal();
    if (!fileName || !h) return SPSS_FILE_OERROR;
    auto file = std::make_shared<savio::FileReads>();
    if (!file->Open(fileName))
        return savio::Refuse(SPSS_FILE_OERROR, savio::kNoOffset, "the file cannot be opened");
    file->ExpectSequentialReads();
    std::shared_ptr<savio::RandomReads> reads;
    if (int st = savio::ReadableBytesOf(std::move(file), fileName, &reads)) return st;
    std::unique_ptr<SavFile> sav;
    if (int st = SavFile::Open(std::move(reads), fileName, &sav)) return st;
    return savio::AddOpenFile(std::move(sav), h);
}

int spssCloseRead(int h) {
    return savio::CloseOpenFile(h) ? 0 : SPSS_INVALID_HANDLE;
}

int spssGetSystemString(int h, char* sysName) {
    SavFile* f = FindOpenFile(h);
    if (!f || !sysName) return SPSS_INVALID_HANDLE;
    savio::CopyText(sysName, SPSS_SYSTEM_STRING_SIZE, f->dict().product);
    return 0;
}

int spssGetTimeStamp(int h, char* fileDate, char* fileTime) {
    SavFile* f = FindOpenFile(h);
    if (!f || !fileDate || !fileTime) return SPSS_INVALID_HANDLE;
    savio::CopyText(fileDate, SPSS_TIME_STAMP_SIZE, f->dict().date);
    savio::CopyText(fileTime, SPSS_TIME_STAMP_SIZE, f->dict().time);
    return 0;
}

int spssGetNumberofCases(int h, int* numCases) {
    SavFile* f = FindOpenFile(h);
    if (!f || !numCases) return SPSS_INVALID_HANDLE;
    const int64_t n = f->caseCount();
    *numCases = n > std::numeric_limits<int>::max() ? -1 : static_cast<int>(n);
    return 0;
}

int spssGetNumberofVariables(int h, int* numVars) {
    SavFile* f = FindOpenFile(h);
    if (!f || !numVars) return SPSS_INVALID_HANDLE;
    *numVars = static_cast<int>(f->dict().variables.size());
    return 0;
}

int spssGetIdString(int h, char* id) {
    SavFile* f = FindOpenFile(h);
    if (!f || !id) return SPSS_INVALID_HANDLE;
    savio::CopyText(id, SPSS_ID_STRING_SIZE, f->dict().fileLabel);
    return 0;
}

int spssGetCompression(int h, int* compSwitch) {
    SavFile* f = FindOpenFile(h);
    if (!f || !compSwitch) return SPSS_INVALID_HANDLE;
    *compSwitch = f->dict().compression == savio::Compression::None ? 0 : 1;
    return 0;
}

int spssGetCaseWeightVar(int h, char* varName) {
    SavFile* f = FindOpenFile(h);
    if (!f || !varName) return SPSS_INVALID_HANDLE;
    const int w = f->dict().weightVariable;
    if (w < 0) return SPSS_NO_CASEWGT;
    savio::CopyText(varName, SPSS_WEIGHT_NAME_SIZE,
                    f->dict().variables[static_cast<size_t>(w)].shortName);
    return 0;
}

double spssSysmisVal(void) {
    return -std::numeric_limits<double>::max();
}

int spssGetVarHandle(int h, const char* varName, double* varHandle) {
    SavFile* f = FindOpenFile(h);
    if (!f) return SPSS_INVALID_HANDLE;
    const int i = varName ? f->FindVariable(varName) : -1;
    if (i < 0) return SPSS_VAR_NOTFOUND;
    if (!varHandle) return SPSS_INVALID_HANDLE;
    *varHandle = VarHandleOf(*f, i);
    return 0;
}

int spssReadCaseRecord(int h) {
    SavFile* f = FindOpenFile(h);
    if (!f) return SPSS_INVALID_HANDLE;
    return f->ReadCase();
}

int spssGetValueNumeric(int h, double varHandle, double* value) {
    SavFile* f = FindOpenFile(h);
    if (!f || !value) return SPSS_INVALID_HANDLE;
    const savio::ValueSlots* v = SlotsOfHandle(*f, varHandle);
    if (!v) return SPSS_VAR_NOTFOUND;
    if (v->isString()) return SPSS_NUME_EXP;
    if (!f->row()) return SPSS_INVALID_CASE;
    *value = f->Number(*v);
    return 0;
}

int spssGetValueChar(int h, double varHandle, char* value, int valueSize) {
    SavFile* f = FindOpenFile(h);
    if (!f || !value) return SPSS_INVALID_HANDLE;
    const savio::ValueSlots* v = SlotsOfHandle(*f, varHandle);
    if (!v) return SPSS_VAR_NOTFOUND;
    if (!v->isString()) return SPSS_STR_EXP;
    if (valueSize < 1) return SPSS_BUFFER_SHORT;
    if (!f->row()) return SPSS_INVALID_CASE;
    return f->CopyString(*v, value, valueSize) ? 0 : SPSS_BUFFER_SHORT;
}

int spssConvertSPSSDate(int* day, int* month, int* year, double spssDate) {
    if (!day || !month || !year) return SPSS_INVALID_DATE;
    return savio::DateFromSeconds(spssDate, day, month, year) ? 0 : SPSS_INVALID_DATE;
}

int spssGetFileEncoding(int h, char* encoding, int bufSize) {
    SavFile* f = FindOpenFile(h);
    if (!f || !encoding) return SPSS_INVALID_HANDLE;
    if (bufSize < 1) return SPSS_BUFFER_SHORT;
    const std::string& name = f->encodingName();
    savio::CopyText(encoding, static_cast<size_t>(bufSize), name);
    return name.size() < static_cast<size_t>(bufSize) ? 0 : SPSS_BUFFER_SHORT;
}

}  // extern "C"
