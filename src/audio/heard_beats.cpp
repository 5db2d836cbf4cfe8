#include "audio/heard_beats.h"

#include <algorithm>

namespace fenwhit {

int64_t HeardDelayMs(int latencyMs, int offsetMs) {
  const int offset = std::clamp(offsetMs, -kAvOffsetLimitMs, kAvOffsetLimitMs);
  return std::max<int64_t>(0, int64_t{latencyMs} + offset);
}

void HeardBeats::Add(int32_t beats, int64_t dueMs) {
  if (beats <= 0) return;
  std::lock_guard lock(mutex_);
  if (stopped_) return;
  // Kept in order of due time: the latency each beat is given may change between beats.
  const auto later = std::upper_bound(pending_.begin(), pending_.end(), dueMs,
                                      [](int64_t due, const Pending& p) { return due < p.dueMs; });
  pending_.insert(later, {dueMs, beats});
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

void HeardBeats::Stop() {
  std::lock_guard lock(mutex_);
  pending_.clear();
  stopped_ = true;
}

void HeardBeats::Delay(int64_t ms) {
  std::lock_guard lock(mutex_);
  for (Pending& pending : pending_) pending.dueMs += ms;
}

void HeardBeats::Clear() {
  std::lock_guard lock(mutex_);
  pending_.clear();
  stopped_ = false;
}

}  // namespace fenwhit
