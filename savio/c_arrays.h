// The arrays the spss... calls hand to their callers: allocated with malloc,
// so that C callers release them with the matching free call.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace savio {

// A NUL-ended copy of s, or nullptr when memory runs out.
inline char* DuplicateText(std::string_view s) {
    char* p = static_cast<char*>(std::malloc(s.size() + 1));
    if (!p) return nullptr;
    std::memcpy(p, s.data(), s.size());
    p[s.size()] = '\0';
    return p;
}

// Frees an array of n texts (any of them may be null) and the array.
inline void FreeTexts(char** texts, int n) {
    if (!texts) return;
    for (int i = 0; i < n; ++i) std::free(texts[i]);
    std::free(texts);
}

// An array of copies of texts[0..n), each taken by get(i); nullptr when
// memory runs out (nothing is left allocated then). n must be > 0.
template <typename Get>
char** TextArray(size_t n, Get get) {
    auto** out = static_cast<char**>(std::calloc(n, sizeof(char*)));
    if (!out) return nullptr;
    for (size_t i = 0; i < n; ++i) {
        out[i] = DuplicateText(get(i));
        if (!out[i]) {
            FreeTexts(out, static_cast<int>(n));
            return nullptr;
        }
    }
    return out;
}

}  // namespace savio
