// The value-label calls of the spss... boundary.
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "c_arrays.h"
#include "call_support.h"
#include "savio/byte_order.h"
#include "savio/spssfio.h"

using savio::SavFile;
using savio::Variable;

using savio::DuplicateText;
using savio::FreeTexts;

namespace {

// Adds (key, label) keeping the first position of a repeated value and the
// last label given for it.
template <typename Key>
void AddLabel(std::vector<std::pair<Key, std::string>>& out, std::unordered_map<Key, size_t>& seen,
              const Key& key, const std::string& label) {
    auto [it, fresh] = seen.emplace(key, out.size());
    if (fresh)
        out.emplace_back(key, label);
    else
        out[it->second].second = label;
}

std::vector<std::pair<uint64_t, std::string>> NumericLabels(const SavFile& f, const Variable& v) {
    std::vector<std::pair<uint64_t, std::string>> out;
    std::unordered_map<uint64_t, size_t> seen;
    for (int s : v.labelSets) {
        for (const auto& [raw, label] : f.dict().labelSets[static_cast<size_t>(s)].entries) {
            const double d = savio::LoadF64(raw.data(), f.dict().swap);
            uint64_t bits;
            std::memcpy(&bits, &d, 8);
            AddLabel(out, seen, bits, label);
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> StringLabels(const SavFile& f, const Variable& v) {
    std::vector<std::pair<std::string, std::string>> out;
    std::unordered_map<std::string, size_t> seen;
    const size_t shortWidth = static_cast<size_t>(std::min(v.width, 8));
    for (int s : v.labelSets) {
        for (const auto& [raw, label] : f.dict().labelSets[static_cast<size_t>(s)].entries) {
            const std::string value(reinterpret_cast<const char*>(raw.data()), shortWidth);
            AddLabel(out, seen, value, label);
        }
    }
    for (const auto& [value, label] : v.longLabels) AddLabel(out, seen, value, label);
    return out;
}

}  // namespace

extern "C" {

int spssGetVarNValueLabels(int h, const char* varName, double** values, char*** labels,
                           int* numLabels) {
    SavFile* f;
    int st;
    const Variable* v = savio::VariableOf(h, varName, &f, &st);
    if (!v) return st;
    if (v->isString()) return SPSS_NUME_EXP;
    if (!values || !labels || !numLabels) return SPSS_INVALID_HANDLE;
    *values = nullptr;
    *labels = nullptr;
    *numLabels = 0;
    const auto list = NumericLabels(*f, *v);
    if (list.empty()) return SPSS_NO_LABELS;
    const size_t n = list.size();
    auto* vals = static_cast<double*>(std::malloc(n * sizeof(double)));
    auto* texts = static_cast<char**>(std::calloc(n, sizeof(char*)));
    bool ok = vals && texts;
    for (size_t i = 0; ok && i < n; ++i) {
        std::memcpy(&vals[i], &list[i].first, 8);
        texts[i] = DuplicateText(list[i].second);
        ok = texts[i] != nullptr;
    }
    if (!ok) {
        std::free(vals);
        FreeTexts(texts, static_cast<int>(n));
        return SPSS_NO_MEMORY;
    }
    *values = vals;
    *labels = texts;
    *numLabels = static_cast<int>(n);
    return 0;
}

int spssFreeVarNValueLabels(double* values, char** labels, int numLabels) {
    std::free(values);
    FreeTexts(labels, numLabels);
    return 0;
}

int spssGetVarCValueLabels(int h, const char* varName, char*** values, char*** labels,
                           int* numLabels) {
    SavFile* f;
    int st;
    const Variable* v = savio::VariableOf(h, varName, &f, &st);
    if (!v) return st;
    if (!v->isString()) return SPSS_STR_EXP;
    if (!values || !labels || !numLabels) return SPSS_INVALID_HANDLE;
    *values = nullptr;
    *labels = nullptr;
    *numLabels = 0;
    const auto list = StringLabels(*f, *v);
    if (list.empty()) return SPSS_NO_LABELS;
    const size_t n = list.size();
    auto* vals = static_cast<char**>(std::calloc(n, sizeof(char*)));
    auto* texts = static_cast<char**>(std::calloc(n, sizeof(char*)));
    bool ok = vals && texts;
    for (size_t i = 0; ok && i < n; ++i) {
        vals[i] = DuplicateText(list[i].first);
        texts[i] = DuplicateText(list[i].second);
        ok = vals[i] && texts[i];
    }
    if (!ok) {
        FreeTexts(vals, static_cast<int>(n));
        FreeTexts(texts, static_cast<int>(n));
        return SPSS_NO_MEMORY;
    }
    *values = vals;
    *labels = texts;
    *numLabels = static_cast<int>(n);
    return 0;
}

int spssFreeVarCValueLabels(char** values, char** labels, int numLabels) {
    FreeTexts(values, numLabels);
    FreeTexts(labels, numLabels);
    return 0;
}

}  // extern "C"
