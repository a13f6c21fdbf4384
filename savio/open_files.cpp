#include "savio/open_files.h"

#include <vector>

#include "core/spssfio.h"

namespace savio {
namespace {

constexpr int kMaxOpenFiles = 256;
constexpr int kGenerations = 1 << 22;

struct Entry {
    std::unique_ptr<SavFile> file;
    int generation = 0;
};

std::vector<Entry>& Table() {
    static std::vector<Entry> table;
    return table;
}

int HandleOf(int slot, int generation) {
    return generation * kMaxOpenFiles + slot + 1;
}

}  // namespace

int AddOpenFile(std::unique_ptr<SavFile> file, int* handle) {
    auto& table = Table();
    size_t slot = 0;
    while (slot < table.size() && table[slot].file) ++slot;
    if (slot == table.size()) {
        if (table.size() >= kMaxOpenFiles) return SPSS_FITAB_FULL;
        table.emplace_back();
    }
    Entry& e = table[slot];
    e.generation = (e.generation + 1) % kGenerations;
    e.file = std::move(file);
    *handle = HandleOf(static_cast<int>(slot), e.generation);
    return 0;
}

SavFile* FindOpenFile(int handle) {
    if (handle <= 0) return nullptr;
    const int slot = (handle - 1) % kMaxOpenFiles;
    const int generation = (handle - 1) / kMaxOpenFiles;
    auto& table = Table();
    if (static_cast<size_t>(slot) >= table.size()) return nullptr;
    Entry& e = table[slot];
    if (e.generation != generation) return nullptr;
    return e.file.get();
}

bool CloseOpenFile(int handle) {
    if (!FindOpenFile(handle)) return false;
    Table()[(handle - 1) % kMaxOpenFiles].file.reset();
    return true;
}

int OpenFromBytes(std::string_view bytes, std::string_view identity, int* handle) {
    if (!handle) return SPSS_FILE_OERROR;
    std::unique_ptr<SavFile> file;
    if (int st = SavFile::Open(CopyBytes(bytes), identity, &file)) return st;
    return AddOpenFile(std::move(file), handle);
}

}  // namespace savio
