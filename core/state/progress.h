// Long work (a grid load, a sort, counting matches, a large copy, an
// export, the variable list, the dictionary, the variables' facts) says how
// far it got and learns whether to go on. The windows answer with a
// progress dialog that appears only when the work takes a while; the tool
// and the tests answer with nothing at all. Step is only ever called
// between complete units of work, where the shared state is whole.
#pragma once

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

// How many cases of varCount values make one step of work that reads cases:
// a few tens of thousands of values, at least one case and at most 1024.
inline int CasesPerStep(int varCount) {
    constexpr int kValuesPerStep = 65536;
    constexpr int kMaxCasesPerStep = 1024;
    const int perCase = varCount > 1 ? varCount : 1;
    const int cases = kValuesPerStep / perCase;
    return cases < 1 ? 1 : cases > kMaxCasesPerStep ? kMaxCasesPerStep : cases;
}

// Whether progress said stop, remembered: work that must undo what it began
// (a half-written file) asks it afterwards.
class WatchedProgress final : public Progress {
  public:
    explicit WatchedProgress(Progress* inner) : inner_(inner) {}
    bool Step(uint64_t done, uint64_t total) override {
        if (!stopped_ && !Continue(inner_, done, total)) stopped_ = true;
        return !stopped_;
    }
    bool stopped() const { return stopped_; }

  private:
    Progress* inner_;
    bool stopped_ = false;
};

}  // namespace lv
