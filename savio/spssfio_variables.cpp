// The per-variable dictionary calls of the spss... boundary.
#include <algorithm>

#include "call_support.h"
#include "savio/spssfio.h"

using savio::SavFile;
using savio::Variable;

namespace {

// Readers of the 124-byte label buffer take at most this many bytes.
constexpr size_t kShortLabelBytes = 122;

int GetFormat(int h, const char* varName, bool print, int* type, int* dec, int* width) {
    SavFile* f;
    int st;
    const Variable* v = savio::VariableOf(h, varName, &f, &st);
    if (!v) return st;
    if (!type || !dec || !width) return SPSS_INVALID_HANDLE;
    const savio::Format& fmt = print ? v->print : v->write;
    *type = fmt.type;
    *dec = fmt.decimals;
    *width = fmt.width;
    return 0;
}

}  // namespace

extern "C" {

int spssGetVarInfo(int h, int iVar, char* varName, int* varType) {
    SavFile* f = savio::FindOpenFile(h);
    if (!f) return SPSS_INVALID_HANDLE;
    const auto& vars = f->dict().variables;
    if (iVar < 0 || static_cast<size_t>(iVar) >= vars.size()) return SPSS_VAR_NOTFOUND;
    if (!varName || !varType) return SPSS_INVALID_HANDLE;
    const Variable& v = vars[static_cast<size_t>(iVar)];
    savio::CopyText(varName, SPSS_VAR_NAME_SIZE, v.shortName);
    *varType = v.width;
    return 0;
}

int spssGetVarLabel(int h, const char* varName, char* varLabel) {
    SavFile* f;
    int st;
    const Variable* v = savio::VariableOf(h, varName, &f, &st);
    if (!v) return st;
    if (!varLabel) return SPSS_INVALID_HANDLE;
    if (!v->hasLabel) {
        varLabel[0] = '\0';
        return SPSS_NO_LABEL;
    }
    // A long label is cut, never dropped: the list shows its start.
    savio::CopyTextWhole(*f, varLabel, kShortLabelBytes + 1, v->label);
    return 0;
}

int spssGetVarFullLabel(int h, const char* varName, char* label, int bufSize) {
    SavFile* f;
    int st;
    const Variable* v = savio::VariableOf(h, varName, &f, &st);
    if (!v) return st;
    if (!label) return SPSS_INVALID_HANDLE;
    if (bufSize < 1) return SPSS_BUFFER_SHORT;
    if (!v->hasLabel) {
        label[0] = '\0';
        return SPSS_NO_LABEL;
    }
    return savio::CopyTextWhole(*f, label, static_cast<size_t>(bufSize), v->label)
               ? 0
               : SPSS_BUFFER_SHORT;
}

int spssGetVarLongName(int h, const char* varName, char* longName, int bufSize) {
    SavFile* f;
    int st;
    const Variable* v = savio::VariableOf(h, varName, &f, &st);
    if (!v) return st;
    if (!longName) return SPSS_INVALID_HANDLE;
    if (bufSize < 1) return SPSS_BUFFER_SHORT;
    return savio::CopyTextWhole(*f, longName, static_cast<size_t>(bufSize), v->displayName())
               ? 0
               : SPSS_BUFFER_SHORT;
}

int spssGetVarPrintFormat(int h, const char* varName, int* type, int* dec, int* width) {
    return GetFormat(h, varName, true, type, dec, width);
}

int spssGetVarWriteFormat(int h, const char* varName, int* type, int* dec, int* width) {
    return GetFormat(h, varName, false, type, dec, width);
}

int spssGetVarNMissingValues(int h, const char* varName, int* missingFormat, double* v1, double* v2,
                             double* v3) {
    SavFile* f;
    int st;
    const Variable* v = savio::VariableOf(h, varName, &f, &st);
    if (!v) return st;
    if (v->isString()) return SPSS_NUME_EXP;
    if (!missingFormat || !v1 || !v2 || !v3) return SPSS_INVALID_HANDLE;
    *missingFormat = v->missingCode;
    *v1 = v->missing[0];
    *v2 = v->missing[1];
    *v3 = v->missing[2];
    return 0;
}

int spssGetVarCMissingValues(int h, const char* varName, int* missingFormat, char* v1, char* v2,
                             char* v3) {
    SavFile* f;
    int st;
    const Variable* v = savio::VariableOf(h, varName, &f, &st);
    if (!v) return st;
    if (!v->isString()) return SPSS_STR_EXP;
    if (!missingFormat || !v1 || !v2 || !v3) return SPSS_INVALID_HANDLE;
    *missingFormat = std::clamp(v->missingCode, 0, 3);
    savio::CopyText(v1, SPSS_STRING_MISSING_SIZE, v->missingText[0]);
    savio::CopyText(v2, SPSS_STRING_MISSING_SIZE, v->missingText[1]);
    savio::CopyText(v3, SPSS_STRING_MISSING_SIZE, v->missingText[2]);
    return 0;
}

}  // extern "C"
