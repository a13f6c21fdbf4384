#include "core/export/temporary_names.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>

namespace lv {
namespace {

constexpr int kSlots = 32;
enum : int { kFree, kFilling, kNamed };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

Slot gSlots[kSlots];
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void RemoveNamed() {
    for (Slot& slot : gSlots)
        if (slot.state.load(std::memory_order_acquire) == kNamed) unlink(slot.path);
}

extern "C" void RemoveAtExit() {
    RemoveNamed();
}

extern "C" void RemoveTemporaries(int sig) {
    const int saved = errno;
    RemoveNamed();
    // The default action again; the signal, raised while blocked in its
    // handler, ends the program once the handler returns.
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    sigaction(sig, &dfl, nullptr);
    raise(sig);
    errno = saved;
}

void InstallHandlers() {
    // exit() in the middle of a write unwinds no writer either.
    std::atexit(RemoveAtExit);
    for (const int sig : kSignals) {
        struct sigaction old {};
        if (sigaction(sig, nullptr, &old) != 0) continue;
        if ((old.sa_flags & SA_SIGINFO) || old.sa_handler != SIG_DFL) continue;
        struct sigaction act {};
        act.sa_handler = RemoveTemporaries;
        sigemptyset(&act.sa_mask);
        for (const int other : kSignals) sigaddset(&act.sa_mask, other);
        act.sa_flags = SA_RESTART;
        sigaction(sig, &act, nullptr);
    }
}

}  // namespace

std::string ShortTemporaryName(const std::string& folder) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random(std::random_device{}() ^
                                        (static_cast<uint64_t>(getpid()) << 32));
    std::string name = folder + "/.lorivane-";
    for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

int RememberTemporary(const std::string& path) {
    static std::once_flag installed;
    std::call_once(installed, InstallHandlers);
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!gSlots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(gSlots[i].path, path.c_str(), path.size() + 1);
        gSlots[i].state.store(kNamed, std::memory_order_release);
        return i;
    }
    return -1;
}

void ForgetTemporary(int slot) {
    if (slot >= 0 && slot < kSlots) gSlots[slot].state.store(kFree, std::memory_order_release);
}

}  // namespace lv
