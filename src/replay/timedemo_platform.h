#pragma once
// The timedemo's clock: time stands still but for the waits, which pass at once, so the
// game runs as fast as its frames can be drawn; the real time between presented frames is
// noted for the report.
#include <ostream>
#include <vector>

#include "platform/forwarding_platform.h"

namespace fenwhit {

class TimedemoPlatform final : public ForwardingPlatform {
 public:
  explicit TimedemoPlatform(Platform& inner) : ForwardingPlatform(inner) {}

  // The game's start: frames count from here, not from the loading before it.
  void DiscardKeyPress() override;
  void SwapBuffers() override;
  double Clock() override;
  void SleepMs(int milliseconds) override;
  void SleepUntil(double deadline) override;

  // "F frames in S s: mean M ms, median D ms, 99th percentile P ms, worst W ms (frame N)".
  void Report(std::ostream& out) const;
  const std::vector<double>& FrameSeconds() const { return frames_; }

 private:
  double now_ = 0.0;
  double lastSwap_ = -1.0;
  std::vector<double> frames_;
};

}  // namespace fenwhit
