#pragma once
// A platform that notes how much of the clock's time passed asleep. On the virtual clock,
// which every reading moves on a little, the rest is the time the program kept busy.
#include "platform/forwarding_platform.h"

namespace fenwhit::testing {

class SleepMeter final : public ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;

  void SleepMs(int milliseconds) override {
    const double before = inner().Clock();
    inner().SleepMs(milliseconds);
    slept_ += inner().Clock() - before;
  }
  void SleepUntil(double deadline) override {
    const double before = inner().Clock();
    inner().SleepUntil(deadline);
    slept_ += inner().Clock() - before;
  }

  // Seconds spent asleep since the start.
  double Slept() const { return slept_; }

 private:
  double slept_ = 0.0;
};

}  // namespace fenwhit::testing
