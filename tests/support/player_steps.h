#pragma once
// What a player does to the scripted platform, one step after another, for tests that drive
// the real program: keys held for some frames, waits, and checks between them.
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "platform/test_platform.h"

namespace fenwhit::testing {

// What a player does, one step after another: a step runs at every pump until it says it is
// done, and the next starts at the following pump.
class Player {
 public:
  using Step = std::function<bool(TestPlatform&)>;

  Player& Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  // Runs at the start of the pump, so a step sees what the last one left.
  void Act(TestPlatform& p) {
    if (next_ < steps_.size() && steps_[next_](p)) ++next_;
  }
  bool Finished() const { return next_ == steps_.size(); }
  size_t StepsDone() const { return next_; }

 private:
  std::vector<Step> steps_;
  size_t next_ = 0;
};

// Down for `frames` pumps, then let go.
inline Player::Step Hold(int key, int frames) {
  return [key, frames, held = 0](TestPlatform& p) mutable {
    if (held == 0) p.Press(key);
    if (++held < frames) return false;
    p.Release(key);
    return true;
  };
}

inline Player::Step Idle(int frames) {
  return [frames, passed = 0](TestPlatform&) mutable { return ++passed >= frames; };
}

inline Player::Step WaitFor(std::function<bool()> what) {
  return [what = std::move(what)](TestPlatform&) { return what(); };
}

inline Player::Step Do(std::function<void(TestPlatform&)> what) {
  return [what = std::move(what)](TestPlatform& p) {
    what(p);
    return true;
  };
}

}  // namespace fenwhit::testing
