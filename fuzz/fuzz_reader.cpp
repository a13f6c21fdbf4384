// libFuzzer target: open the bytes as a system file, query the whole
// dictionary, then read every case and every value through the spss... calls.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/spssfio.h"
#include "savio/open_files.h"

namespace {

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int h = 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (savio::OpenFromBytes(bytes, "fuzz.sav", &h) != 0) return 0;
    char text[80], date[10], time[10];
    int n;
    spssGetSystemString(h, text);
    spssGetTimeStamp(h, date, time);
    spssGetIdString(h, text);
    spssGetCaseWeightVar(h, text);
    spssGetCompression(h, &n);
    spssGetFileEncoding(h, text, sizeof text);
    spssGetNumberofCases(h, &n);
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
    std::vector<char> value(32768);
    // Bounded so that a fuzzed case count cannot make one input run for long.
    for (int c = 0; c < 100000 && spssReadCaseRecord(h) == 0; ++c) {
        for (int i = 0; i < nVars; ++i) {
            double d;
            if (types[i]) {
                spssGetValueChar(h, handles[i], value.data(), static_cast<int>(value.size()));
                spssGetValueChar(h, handles[i], value.data(), 5);
            } else if (spssGetValueNumeric(h, handles[i], &d) == 0) {
                int day, month, year;
                spssConvertSPSSDate(&day, &month, &year, d);
            }
        }
    }
    spssCloseRead(h);
    return 0;
}
