// Long work (a grid load, a sort, counting matches, a large copy) says how
// far it got and learns whether to go on. The windows answer with a
// progress dialog that appears only when the work takes a while; the tool
// and the tests answer with nothing at all.
#ifndef LORIVANE_CORE_PROGRESS_H
#define LORIVANE_CORE_PROGRESS_H

#include <cstdint>

namespace lv {

class Progress {
  public:
    virtual ~Progress() = default;
    // done of total units are finished; false when the user cancelled (the
    // work then stops as soon as it can and leaves no result).
    virtual bool Step(uint64_t done, uint64_t total) = 0;
};

// Step on a possibly absent progress: true (go on) when there is none.
inline bool Continue(Progress* progress, uint64_t done, uint64_t total) {
    return !progress || progress->Step(done, total);
}

}  // namespace lv

#endif
