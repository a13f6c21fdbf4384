#include "tests/core/windows/varlist_library_faults.h"

#include "savio/spssfio.h"

namespace faults {

Replacements& Current() {
    static Replacements replacements;
    return replacements;
}

}  // namespace faults

extern "C" {

#define LV_REAL(ret, name, params) ret __real_##name params;
LV_REAL(int, spssCloseRead, (int))
LV_REAL(int, spssGetNumberofVariables, (int, int*))
LV_REAL(int, spssGetVarInfo, (int, int, char*, int*))
LV_REAL(int, spssGetVarLabel, (int, const char*, char*))
LV_REAL(int, spssGetVarPrintFormat, (int, const char*, int*, int*, int*))
LV_REAL(int, spssGetVarWriteFormat, (int, const char*, int*, int*, int*))
LV_REAL(int, spssGetVarNMissingValues, (int, const char*, int*, double*, double*, double*))
LV_REAL(int, spssGetVarNValueLabels, (int, const char*, double**, char***, int*))
LV_REAL(int, spssGetSystemString, (int, char*))
LV_REAL(int, spssGetTimeStamp, (int, char*, char*))
LV_REAL(int, spssGetNumberofCases, (int, int*))
LV_REAL(int, spssGetIdString, (int, char*))
LV_REAL(int, spssGetCompression, (int, int*))
LV_REAL(int, spssGetCaseWeightVar, (int, char*))
#undef LV_REAL

// Each wrapper: the test's replacement when set, else the reader.
#define LV_WRAP(field, name, params, args)      \
    int __wrap_##name params {                  \
        auto& r = faults::Current().field;      \
        return r ? r args : __real_##name args; \
    }

LV_WRAP(closeRead, spssCloseRead, (int h), (h))
LV_WRAP(numberOfVariables, spssGetNumberofVariables, (int h, int* n), (h, n))
LV_WRAP(varInfo, spssGetVarInfo, (int h, int i, char* name, int* type), (h, i, name, type))
LV_WRAP(varLabel, spssGetVarLabel, (int h, const char* name, char* label), (h, name, label))
LV_WRAP(printFormat, spssGetVarPrintFormat, (int h, const char* n, int* t, int* d, int* w),
        (h, n, t, d, w))
LV_WRAP(writeFormat, spssGetVarWriteFormat, (int h, const char* n, int* t, int* d, int* w),
        (h, n, t, d, w))
LV_WRAP(numericMissing, spssGetVarNMissingValues,
        (int h, const char* n, int* c, double* a, double* b, double* d), (h, n, c, a, b, d))
LV_WRAP(numericLabels, spssGetVarNValueLabels,
        (int h, const char* n, double** v, char*** l, int* c), (h, n, v, l, c))
LV_WRAP(systemString, spssGetSystemString, (int h, char* s), (h, s))
LV_WRAP(timeStamp, spssGetTimeStamp, (int h, char* d, char* t), (h, d, t))
LV_WRAP(numberOfCases, spssGetNumberofCases, (int h, int* n), (h, n))
LV_WRAP(idString, spssGetIdString, (int h, char* s), (h, s))
LV_WRAP(compression, spssGetCompression, (int h, int* f), (h, f))
LV_WRAP(caseWeightVar, spssGetCaseWeightVar, (int h, char* s), (h, s))
#undef LV_WRAP

}  // extern "C"

namespace faults {

int RealGetVarInfo(int h, int i, char* name, int* type) {
    return __real_spssGetVarInfo(h, i, name, type);
}
int RealCloseRead(int h) {
    return __real_spssCloseRead(h);
}
int RealGetVarNMissingValues(int h, const char* name, int* code, double* v1, double* v2,
                             double* v3) {
    return __real_spssGetVarNMissingValues(h, name, code, v1, v2, v3);
}

}  // namespace faults
