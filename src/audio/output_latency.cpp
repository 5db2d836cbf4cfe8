#include "audio/output_latency.h"

#include <charconv>
#include <cstring>

namespace fenwhit {

namespace {

constexpr int kMaxPlausibleMs = 2000;

}  // namespace

int EstimateLatencyMs(const char* driver, const char* pulseLatency, int bufferFrames, int rate) {
  const int bufferMs = rate > 0 && bufferFrames > 0 ? bufferFrames * 1000 / rate : 0;
  if (driver != nullptr && std::strcmp(driver, "pulseaudio") == 0 && pulseLatency != nullptr) {
    const std::string_view text(pulseLatency);
    int ms = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), ms);
    // The server keeps at least a buffer whatever it is asked. It fills its queue a
    // whole buffer at a time when the queue runs low, so the queue it keeps is what it
    // holds on average: the newest mixed frame, written as the queue is at its fullest,
    // waits about half a buffer longer.
    if (failure == std::errc() && end == text.data() + text.size() && ms > 0 &&
        ms <= kMaxPlausibleMs) {
      return (ms > bufferMs ? ms : bufferMs) + bufferMs / 2;
    }
  }
  return bufferMs;
}

}  // namespace fenwhit
