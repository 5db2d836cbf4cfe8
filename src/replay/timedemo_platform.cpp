#include "replay/timedemo_platform.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <utility>

namespace fenwhit {

namespace {

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Each frame reads the clock a few times; a small step keeps every wait loop moving.
constexpr double kClockStep = 0.0001;

// The nearest-rank percentile of sorted, non-empty times: the smallest time that at least
// share of the frames do not exceed.
double Percentile(const std::vector<double>& sorted, double share) {
  const size_t rank = static_cast<size_t>(std::ceil(share * static_cast<double>(sorted.size())));
  return sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1];
}

}  // namespace

TimedemoPlatform::TimedemoPlatform(Platform& inner, RealClock realClock, Describe describe)
    : ForwardingPlatform(inner),
      realClock_(realClock ? std::move(realClock) : RealClock(SteadySeconds)),
      describe_(std::move(describe)) {}

void TimedemoPlatform::DiscardKeyPress() {
  inner().DiscardKeyPress();
  frames_.clear();
  shown_.clear();
  inner().FinishDrawing();
  lastSwap_ = realClock_();
}

void TimedemoPlatform::SwapBuffers() {
  inner().SwapBuffers();
  inner().FinishDrawing();
  const double now = realClock_();
  if (lastSwap_ >= 0.0) {
    frames_.push_back(now - lastSwap_);
    if (describe_) shown_.push_back(describe_());
  }
  // Noting what was shown is the timedemo's own work: the next frame starts after it.
  lastSwap_ = describe_ ? realClock_() : now;
}

double TimedemoPlatform::Clock() {
  now_ += kClockStep;
  return now_;
}

void TimedemoPlatform::SleepMs(int milliseconds) {
  if (milliseconds > 0) now_ += milliseconds / 1000.0;
}

void TimedemoPlatform::SleepUntil(double deadline) {
  now_ = std::max(now_, deadline);
}

void TimedemoPlatform::Report(std::ostream& out) const {
  if (frames_.empty()) {
    out << "timedemo: no frames were drawn\n";
    return;
  }
  const size_t worst =
      static_cast<size_t>(std::max_element(frames_.begin(), frames_.end()) - frames_.begin());
  std::vector<double> sorted = frames_;
  std::sort(sorted.begin(), sorted.end());
  const double total = std::accumulate(sorted.begin(), sorted.end(), 0.0);
  const auto over =
      std::count_if(sorted.begin(), sorted.end(), [](double seconds) { return seconds > kPeriod; });
  char line[320];
  std::snprintf(line, sizeof(line),
                "timedemo: %zu frames in %.2f s: mean %.3f ms, median %.3f ms, 99th percentile "
                "%.3f ms, 99.9th percentile %.3f ms, worst %.3f ms (frame %zu), %lld over "
                "%.1f ms\n",
                sorted.size(), total, 1000.0 * total / static_cast<double>(sorted.size()),
                1000.0 * Percentile(sorted, 0.5), 1000.0 * Percentile(sorted, 0.99),
                1000.0 * Percentile(sorted, 0.999), 1000.0 * sorted.back(), worst + 1,
                static_cast<long long>(over), 1000.0 * kPeriod);
  out << line;
}

void TimedemoPlatform::WriteFrames(std::ostream& out) const {
  char number[64];
  for (size_t i = 0; i < frames_.size(); ++i) {
    std::snprintf(number, sizeof(number), "%zu %.3f", i + 1, 1000.0 * frames_[i]);
    out << number;
    if (i < shown_.size()) out << ' ' << shown_[i];
    out << '\n';
  }
}

}  // namespace fenwhit
