#include "audio/heard_beats.h"

#include <algorithm>

namespace fenwhit {

int64_t HeardDelayMs(int latencyMs, int offsetMs) {
  const int offset = std::clamp(offsetMs, -kAvOffsetLimitMs, kAvOffsetLimitMs);
  return std::max<int64_t>(0, int64_t{latencyMs} + offset);
}

void HeardBeats::Add(int32_t beats, int64_t nowMs, int64_t delayMs) {
  if (beats <= 0) return;
  std::lock_guard lock(mutex_);
  // The delay is fixed for a game, so the queue stays in order of due time.
  pending_.push_back({nowMs + delayMs, beats});
}

int32_t HeardBeats::Take(int64_t nowMs) {
  std::lock_guard lock(mutex_);
  int32_t heard = 0;
  while (!pending_.empty() && pending_.front().dueMs <= nowMs) {
    heard += pending_.front().beats;
    pending_.pop_front();
  }
  return heard;
}

void HeardBeats::Clear() {
  std::lock_guard lock(mutex_);
  pending_.clear();
}

}  // namespace fenwhit
