#pragma once
// Beats the beat thread counted, held until the sound reaches the speaker: the output's
// latency plus the player's offset after the stream's clock shows them. The beat thread
// adds, the frame loop takes; times are milliseconds on one clock both threads read.
#include <cstdint>
#include <deque>
#include <mutex>

namespace fenwhit {

// The player's offset is kept within this many milliseconds either way.
inline constexpr int kAvOffsetLimitMs = 300;

// How long after the stream's clock shows a beat it is heard: latency plus offset, never
// less than nothing.
int64_t HeardDelayMs(int latencyMs, int offsetMs);

class HeardBeats {
 public:
  // `beats` heard at dueMs. Ignored once stopped.
  void Add(int32_t beats, int64_t dueMs);
  // The beats heard by nowMs, each once.
  int32_t Take(int64_t nowMs);
  // Drops what is on its way and takes no more until cleared.
  void Stop();
  // What is on its way comes `ms` later.
  void Delay(int64_t ms);
  // Drops what is on its way; beats are taken again.
  void Clear();

 private:
  struct Pending {
    int64_t dueMs;
    int32_t beats;
  };
  std::mutex mutex_;
  std::deque<Pending> pending_;
  bool stopped_ = false;
};

}  // namespace fenwhit
