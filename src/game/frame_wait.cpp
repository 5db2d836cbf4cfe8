#include "game/frame_wait.h"

#include <algorithm>

#include "platform/platform.h"

namespace fenwhit {

namespace {

// A late wake-up widens the watched stretch at once; calm frames narrow it again over
// about two seconds.
constexpr double kWakeMargin = 0.0002;
constexpr double kNarrowingPerFrame = 0.00001;

}  // namespace

void FrameWait::Wait(Platform& platform, double frameStart, double period) {
  const double end = frameStart + period;
  const double wakeAt = end - spinTime_;
  if (platform.Clock() < wakeAt) {
    platform.SleepUntil(wakeAt);
    const double lateWake = platform.Clock() - wakeAt;
    spinTime_ = std::max(spinTime_ - kNarrowingPerFrame, lateWake + kWakeMargin);
    spinTime_ = std::clamp(spinTime_, kShortestSpin, kLongestSpin);
  }
  while (platform.Clock() - frameStart <= period) {
  }
}

}  // namespace fenwhit
