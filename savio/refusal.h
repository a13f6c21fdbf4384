// Why the reader refused the file it was last asked to open on this thread:
// a status alone says little about a damaged file, so each refusal also
// records a sentence and where in the file the fault lies. Kept per thread,
// as errno is, because a refused open leaves no handle to ask.
#pragma once

#include <cstdint>
#include <string>

namespace savio {

struct Refusal {
    int status = 0;  // 0 when the last open succeeded
    std::string reason;
    int64_t offset = -1;  // of the fault in the file, -1 when it is not at one place
};

inline constexpr int64_t kNoOffset = -1;

// Records the refusal and returns status, so that `return Refuse(...)` reads
// as the bare status did.
int Refuse(int status, int64_t offset, std::string reason);
void ClearRefusal();
const Refusal& LastRefusal();

// "0x1a4": offsets in messages, as the file-information window lists them.
std::string OffsetText(uint64_t offset);

}  // namespace savio
