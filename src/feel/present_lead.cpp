#include "feel/present_lead.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace fenwhit {

namespace {

// Anything longer is a stall (a pause, a window being dragged), not the frame's pace.
constexpr double kLongestSampleSeconds = 0.25;
// Beats are counted ahead by a little more than this, so it is all that can be used.
constexpr int kLongestLeadMs = 90;

}  // namespace

void RecentMedian::Add(double value) {
  samples_[next_] = value;
  next_ = (next_ + 1) % kSamples;
  count_ = std::min(count_ + 1, kSamples);
}

std::optional<double> RecentMedian::Median() const {
  if (count_ == 0) return std::nullopt;
  std::array<double, kSamples> sorted = samples_;
  const auto end = sorted.begin() + static_cast<std::ptrdiff_t>(count_);
  const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(count_ / 2);
  std::nth_element(sorted.begin(), middle, end);
  return *middle;
}

PresentLeadPlatform::PresentLeadPlatform(Platform& inner, std::function<void(int)> publish)
    : ForwardingPlatform(inner), publish_(std::move(publish)) {}

void PresentLeadPlatform::PumpEvents() {
  inner().PumpEvents();
  pumpedAt_ = inner().Clock();
}

void PresentLeadPlatform::SwapBuffers() {
  inner().SwapBuffers();
  const double now = inner().Clock();
  if (pumpedAt_ && now - *pumpedAt_ <= kLongestSampleSeconds) toShown_.Add(now - *pumpedAt_);
  if (swappedAt_ && now - *swappedAt_ <= kLongestSampleSeconds) period_.Add(now - *swappedAt_);
  pumpedAt_.reset();
  swappedAt_ = now;
  const std::optional<double> toShown = toShown_.Median();
  if (!toShown) return;
  const double lead = *toShown + period_.Median().value_or(0.0) / 2;
  publish_(std::clamp(static_cast<int>(std::lround(lead * 1000)), 0, kLongestLeadMs));
}

}  // namespace fenwhit
