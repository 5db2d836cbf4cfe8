#pragma once
// Measures how long a frame takes from the moment the game takes its beats (right after
// it pumps the window's events) to the moment the frame is shown (the swap returns), and
// hands the beat source that time plus half a frame: a beat heard within it is taken
// early, so the frame showing its flash is seen when the kick is heard rather than a
// frame or two after. Sits under everything that pumps events or swaps.
#include <array>
#include <functional>
#include <optional>

#include "platform/forwarding_platform.h"

namespace fenwhit {

// The median of the last few samples: one slow frame or a pause does not move it.
class RecentMedian {
 public:
  void Add(double value);
  std::optional<double> Median() const;

 private:
  static constexpr size_t kSamples = 31;
  std::array<double, kSamples> samples_{};
  size_t count_ = 0;
  size_t next_ = 0;
};

class PresentLeadPlatform final : public ForwardingPlatform {
 public:
  // `publish` receives the lead in milliseconds after every swap.
  PresentLeadPlatform(Platform& inner, std::function<void(int)> publish);

  void PumpEvents() override;
  void SwapBuffers() override;

 private:
  std::function<void(int)> publish_;
  std::optional<double> pumpedAt_;
  std::optional<double> swappedAt_;
  RecentMedian toShown_;
  RecentMedian period_;
};

}  // namespace fenwhit
