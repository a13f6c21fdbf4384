// Fault injection for the library calls of the windows' builders. The core
// test program is linked with --wrap for these calls, so every call from
// core goes through a __wrap_ function that runs the test's replacement when
// one is set, and the real reader otherwise. Replacements are cleared by
// ScopedLibraryFaults' destructor.
#pragma once

#include <functional>

namespace faults {

struct Replacements {
    std::function<int(int h)> closeRead;
    std::function<int(int h, int* n)> numberOfVariables;
    std::function<int(int h, int i, char* name, int* type)> varInfo;
    std::function<int(int h, const char* name, char* label)> varLabel;
    std::function<int(int h, const char* name, int* type, int* dec, int* width)> printFormat;
    std::function<int(int h, const char* name, int* type, int* dec, int* width)> writeFormat;
    std::function<int(int h, const char* name, int* code, double* v1, double* v2, double* v3)>
        numericMissing;
    std::function<int(int h, const char* name, double** values, char*** labels, int* n)>
        numericLabels;
    std::function<int(int h, char* text)> systemString;
    std::function<int(int h, char* date, char* time)> timeStamp;
    std::function<int(int h, int* n)> numberOfCases;
    std::function<int(int h, char* id)> idString;
    std::function<int(int h, int* flag)> compression;
    std::function<int(int h, char* name)> caseWeightVar;
};

// The replacements in force (all empty: every call reaches the reader).
Replacements& Current();

class ScopedLibraryFaults {
  public:
    ScopedLibraryFaults() = default;
    ~ScopedLibraryFaults() { Current() = Replacements{}; }
    Replacements* operator->() { return &Current(); }
};

// The real reader's calls, for replacements that fail only sometimes.
int RealGetVarInfo(int h, int i, char* name, int* type);
int RealCloseRead(int h);
int RealGetVarNMissingValues(int h, const char* name, int* code, double* v1, double* v2,
                             double* v3);

}  // namespace faults
