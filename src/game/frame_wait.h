#pragma once
// The wait at the end of each frame: a sleep through most of it, then a watch of the
// clock for the last stretch, so the frame period stays exact while the wait costs
// almost nothing. Sleeps wake late by a tenth of a millisecond on a calm machine and
// by milliseconds on a loaded or virtual one, so the watched stretch follows how late
// recent sleeps woke.
#include "game/same_arithmetic.h"

namespace fenwhit {

class Platform;

class FrameWait {
 public:
  // Returns once the clock is past frameStart + period.
  void Wait(Platform& platform, double frameStart, double period);

  double SpinTime() const { return spinTime_; }

  static constexpr double kShortestSpin = 0.0005;
  static constexpr double kLongestSpin = 0.002;

 private:
  double spinTime_ = kShortestSpin;
};

}  // namespace fenwhit
