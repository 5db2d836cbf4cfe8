#pragma once
// The timedemo's clock: time stands still but for the waits, which pass at once, so the
// game runs as fast as its frames can be drawn. Each presented frame is finished before the
// real clock is read, so a frame's time is its whole drawing: a queue of commands cannot
// hide one frame's cost and pile it on a later one.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/forwarding_platform.h"

namespace fenwhit {

class TimedemoPlatform final : public ForwardingPlatform {
 public:
  using RealClock = std::function<double()>;
  // What a frame showed, asked for just after it is timed; empty: not noted.
  using Describe = std::function<std::string()>;
  static constexpr double kPeriod = 1.0 / 60.0;

  explicit TimedemoPlatform(Platform& inner, RealClock realClock = {}, Describe describe = {});

  // The game's start: frames count from here, not from the loading before it.
  void DiscardKeyPress() override;
  void SwapBuffers() override;
  double Clock() override;
  void SleepMs(int milliseconds) override;
  void SleepUntil(double deadline) override;

  // "F frames in S s: mean, median, 99th and 99.9th percentiles, worst (frame N), and how
  // many frames took longer than the period".
  void Report(std::ostream& out) const;
  // One line a frame: "NUMBER MILLISECONDS WHAT-IT-SHOWED", frames counted from 1.
  void WriteFrames(std::ostream& out) const;
  const std::vector<double>& FrameSeconds() const { return frames_; }

 private:
  RealClock realClock_;
  Describe describe_;
  double now_ = 0.0;
  double lastSwap_ = -1.0;
  std::vector<double> frames_;
  std::vector<std::string> shown_;
};

}  // namespace fenwhit
