#include "open_files.h"

#include "decrypting_reads.h"
#include "savio/spssfio.h"

namespace savio {
namespace {

constexpr int kGenerations = 1 << 22;

int HandleOf(int slot, int generation) {
    return generation * kMaxOpenFiles + slot + 1;
}

}  // namespace

OpenFileEntry gOpenFiles[kMaxOpenFiles];

int AddOpenFile(std::unique_ptr<SavFile> file, int* handle) {
    int slot = 0;
    while (slot < kMaxOpenFiles && gOpenFiles[slot].file) ++slot;
    if (slot == kMaxOpenFiles) return SPSS_FITAB_FULL;
    OpenFileEntry& e = gOpenFiles[slot];
    e.generation = (e.generation + 1) % kGenerations;
    e.file = std::move(file);
    *handle = HandleOf(slot, e.generation);
    return 0;
}

bool CloseOpenFile(int handle) {
    if (!FindOpenFile(handle)) return false;
    gOpenFiles[(handle - 1) & (kMaxOpenFiles - 1)].file.reset();
    return true;
}

int OpenEncryptedFromBytes(std::string_view bytes, std::string_view password,
                           std::string_view identity, int* handle) {
    if (!handle) return SPSS_FILE_OERROR;
    std::shared_ptr<RandomReads> plain;
    if (int st = DecryptingReads::Open(std::make_shared<OwnedReads>(std::string(bytes)), password,
                                       &plain))
        return st;
    std::unique_ptr<SavFile> file;
    if (int st = SavFile::Open(std::move(plain), identity, &file)) return st;
    return AddOpenFile(std::move(file), handle);
}

int OpenFromBytes(std::string_view bytes, std::string_view identity, int* handle) {
    if (!handle) return SPSS_FILE_OERROR;
    std::unique_ptr<SavFile> file;
    if (int st = SavFile::Open(std::make_shared<OwnedReads>(std::string(bytes)), identity, &file))
        return st;
    return AddOpenFile(std::move(file), handle);
}

}  // namespace savio
