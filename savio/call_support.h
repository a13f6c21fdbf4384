// Small helpers shared by the spss... calls: finding the file and the
// variable a call names, and copying texts into callers' fixed buffers.
#pragma once

#include <cstring>
#include <string_view>

#include "encoding/charcut.h"
#include "open_files.h"
#include "sav_file.h"
#include "savio/spssfio.h"

namespace savio {

// The variable a name-taking call names: sets *status to 0, or to
// SPSS_INVALID_HANDLE / SPSS_VAR_NOTFOUND and returns nullptr.
inline const Variable* VariableOf(int h, const char* name, SavFile** file, int* status) {
    *file = FindOpenFile(h);
    if (!*file) {
        *status = SPSS_INVALID_HANDLE;
        return nullptr;
    }
    const int i = name ? (*file)->FindVariable(name) : -1;
    if (i < 0) {
        *status = SPSS_VAR_NOTFOUND;
        return nullptr;
    }
    *status = 0;
    return &(*file)->dict().variables[static_cast<size_t>(i)];
}

// Copies at most size - 1 bytes of text and a NUL (nothing when size < 1).
inline void CopyText(char* out, size_t size, std::string_view text) {
    if (size == 0) return;
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// Copies text cut at a character boundary of the file's encoding to fit
// size bytes with the NUL. Returns false when it was cut.
inline bool CopyTextWhole(const SavFile& file, char* out, size_t size, std::string_view text) {
    if (size == 0) return false;
    const size_t n = lv::CutAtCharBoundary(text, size - 1, file.charLayout());
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return n == text.size();
}

}  // namespace savio
