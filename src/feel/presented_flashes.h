#pragma once
// Counts the flashes of the frames a game presents: wrapped around the window's platform,
// it reads every frame back from OpenGL just before it is shown. Frames are dated by
// their place in the frame sequence, as a player sees them when every frame keeps its
// period, so a slow drawing machine does not spread the flashes out.
#include <cstdint>
#include <vector>

#include "feel/flash_counter.h"
#include "platform/forwarding_platform.h"

namespace fenwhit {

class PresentedFlashes final : public ForwardingPlatform {
 public:
  PresentedFlashes(Platform& inner, double framePeriod)
      : ForwardingPlatform(inner), framePeriod_(framePeriod) {}

  void SwapBuffers() override;
  int MostFlashesInOneSecond() const { return meter_.MostFlashesInOneSecond(); }
  const FrameFlashMeter& Meter() const { return meter_; }
  int64_t Frames() const { return frames_; }

 private:
  double framePeriod_;
  int64_t frames_ = 0;
  FrameFlashMeter meter_;
  std::vector<uint8_t> pixels_;
};

}  // namespace fenwhit
