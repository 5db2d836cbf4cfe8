#include "replay/timedemo_platform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>

namespace fenwhit {

namespace {

double RealSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Each frame reads the clock a few times; a small step keeps every wait loop moving.
constexpr double kClockStep = 0.0001;

}  // namespace

void TimedemoPlatform::DiscardKeyPress() {
  inner().DiscardKeyPress();
  frames_.clear();
  lastSwap_ = RealSeconds();
}

void TimedemoPlatform::SwapBuffers() {
  inner().SwapBuffers();
  const double now = RealSeconds();
  if (lastSwap_ >= 0.0) frames_.push_back(now - lastSwap_);
  lastSwap_ = now;
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
  const auto at = [&sorted](double share) {
    return sorted[std::min(sorted.size() - 1, static_cast<size_t>(share * sorted.size()))];
  };
  char line[256];
  std::snprintf(line, sizeof(line),
                "timedemo: %zu frames in %.2f s: mean %.3f ms, median %.3f ms, 99th percentile "
                "%.3f ms, worst %.3f ms (frame %zu)\n",
                sorted.size(), total, 1000.0 * total / sorted.size(), 1000.0 * at(0.5),
                1000.0 * at(0.99), 1000.0 * sorted.back(), worst + 1);
  out << line;
}

}  // namespace fenwhit
