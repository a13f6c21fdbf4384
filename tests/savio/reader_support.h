// Helpers of the reader tests: open fixture bytes through the spss... calls
// and read values back by variable name.
#pragma once

#include <string>
#include <vector>

#include "savio/open_files.h"
#include "savio/spssfio.h"
#include "tests/support/savfixture.h"

namespace readertest {

// An open handle that is closed at the end of the scope.
class OpenedFile {
  public:
    explicit OpenedFile(const std::string& bytes, const std::string& identity = "fixture.sav") {
        status = savio::OpenFromBytes(bytes, identity, &handle);
    }
    ~OpenedFile() {
        if (status == 0) spssCloseRead(handle);
    }
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;

    double Handle(const char* name) const {
        double h = 0;
        spssGetVarHandle(handle, name, &h);
        return h;
    }
    double Number(const char* name) const {
        double v = 0;
        spssGetValueNumeric(handle, Handle(name), &v);
        return v;
    }
    std::string Text(const char* name) const {
        std::vector<char> buf(40000);
        spssGetValueChar(handle, Handle(name), buf.data(), static_cast<int>(buf.size()));
        return buf.data();
    }

    int handle = 0;
    int status = -1;
};

// Reads every case and every value; returns the status that ended reading.
inline int ReadAll(int handle, int* cases) {
    int nVars = 0;
    spssGetNumberofVariables(handle, &nVars);
    std::vector<double> handles(static_cast<size_t>(nVars));
    std::vector<int> types(static_cast<size_t>(nVars));
    for (int i = 0; i < nVars; ++i) {
        char name[10];
        spssGetVarInfo(handle, i, name, &types[i]);
        spssGetVarHandle(handle, name, &handles[i]);
    }
    std::vector<char> buf(40000);
    *cases = 0;
    for (;;) {
        const int st = spssReadCaseRecord(handle);
        if (st != 0) return st;
        ++*cases;
        for (int i = 0; i < nVars; ++i) {
            double d;
            if (types[i])
                spssGetValueChar(handle, handles[i], buf.data(), 40000);
            else
                spssGetValueNumeric(handle, handles[i], &d);
        }
    }
}

}  // namespace readertest
