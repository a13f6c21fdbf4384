#include "core/export/library_messages.h"

#include <sys/types.h>

#include <cstdio>
#include <mutex>

namespace lv {
namespace {

// How many QuietLibrary live on the thread.
thread_local int tQuiet = 0;
// The stream stderr named before it was replaced.
std::FILE* gTerminal = nullptr;

ssize_t WriteStderr(void*, const char* bytes, size_t size) {
    if (tQuiet > 0) return static_cast<ssize_t>(size);
    const size_t written = std::fwrite(bytes, 1, size, gTerminal);
    std::fflush(gTerminal);
    return written == 0 && size > 0 ? -1 : static_cast<ssize_t>(written);
}

// stdio's stderr becomes an unbuffered stream that writes through the
// original one unless the writing thread is quiet. Done once, when the first
// QuietLibrary is made (before the writer's second thread starts); std::cerr
// keeps writing to the original stream.
void RouteStderr() {
    static std::once_flag once;
    std::call_once(once, [] {
        cookie_io_functions_t io{};
        io.write = WriteStderr;
        std::FILE* routed = fopencookie(nullptr, "w", io);
        if (!routed) return;
        std::setvbuf(routed, nullptr, _IONBF, 0);
        gTerminal = stderr;
        stderr = routed;
    });
}

}  // namespace

QuietLibrary::QuietLibrary() {
    RouteStderr();
    ++tQuiet;
}

QuietLibrary::~QuietLibrary() {
    --tQuiet;
}

}  // namespace lv
