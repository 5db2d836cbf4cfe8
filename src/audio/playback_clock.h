#pragma once
// How far a stream has played, published by the mixing thread after every buffer and
// read from any thread. Between buffers the reading side moves on with the real clock,
// so the position advances smoothly instead of in buffer-sized steps.
#include <atomic>
#include <cstdint>

namespace fenwhit {

class PlaybackClock {
 public:
  // Mixing thread only. base: frames played before this buffer; advance: frames this
  // buffer takes; stampNs: steady-clock time of the buffer (0: do not interpolate).
  void Publish(int64_t base, int32_t advance, int64_t stampNs) {
    const uint32_t sequence = sequence_.load(std::memory_order_relaxed);
    sequence_.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    base_.store(base, std::memory_order_relaxed);
    advance_.store(advance, std::memory_order_relaxed);
    stamp_.store(stampNs, std::memory_order_relaxed);
    sequence_.store(sequence + 2, std::memory_order_release);
  }

  // Frames played at time nowNs, never beyond the end of the last buffer.
  int64_t FramesAt(int64_t nowNs, int rate) const {
    int64_t base = 0;
    int64_t advance = 0;
    int64_t stamp = 0;
    for (;;) {
      const uint32_t before = sequence_.load(std::memory_order_acquire);
      base = base_.load(std::memory_order_relaxed);
      advance = advance_.load(std::memory_order_relaxed);
      stamp = stamp_.load(std::memory_order_relaxed);
      std::atomic_thread_fence(std::memory_order_acquire);
      if ((before & 1) == 0 && sequence_.load(std::memory_order_relaxed) == before) break;
    }
    if (stamp == 0 || advance == 0) return base + advance;
    const int64_t elapsed = nowNs - stamp;
    if (elapsed <= 0) return base;
    const int64_t moved = elapsed / 1000 * rate / 1000000;
    return base + (moved < advance ? moved : advance);
  }

 private:
  std::atomic<uint32_t> sequence_{0};
  std::atomic<int64_t> base_{0};
  std::atomic<int32_t> advance_{0};
  std::atomic<int64_t> stamp_{0};
};

}  // namespace fenwhit
