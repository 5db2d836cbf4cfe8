#pragma once
// How far a stream has played, published by the mixing thread after every buffer and
// read from any thread. The position runs on with the real clock from an anchor, but
// never past the frames already mixed: it advances smoothly between buffers, and does
// not jump when the output asks for several buffers at once.
#include <atomic>
#include <cstdint>

namespace fenwhit {

// Frames at `rate` that pass in `ns` nanoseconds.
inline int64_t FramesIn(int64_t ns, int rate) {
  return ns / 1000 * rate / 1000000;
}

class PlaybackClock {
 public:
  // Mixing thread only. At steady-clock time stampNs the stream stood at anchor frames,
  // and limit frames have been mixed. stampNs 0 holds the position at limit.
  void Publish(int64_t anchor, int64_t stampNs, int64_t limit) {
    const uint32_t sequence = sequence_.load(std::memory_order_relaxed);
    sequence_.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    anchor_.store(anchor, std::memory_order_relaxed);
    stamp_.store(stampNs, std::memory_order_relaxed);
    limit_.store(limit, std::memory_order_relaxed);
    sequence_.store(sequence + 2, std::memory_order_release);
  }

  int64_t FramesAt(int64_t nowNs, int rate) const {
    int64_t anchor = 0;
    int64_t stamp = 0;
    int64_t limit = 0;
    for (;;) {
      const uint32_t before = sequence_.load(std::memory_order_acquire);
      anchor = anchor_.load(std::memory_order_relaxed);
      stamp = stamp_.load(std::memory_order_relaxed);
      limit = limit_.load(std::memory_order_relaxed);
      std::atomic_thread_fence(std::memory_order_acquire);
      if ((before & 1) == 0 && sequence_.load(std::memory_order_relaxed) == before) break;
    }
    return Position(anchor, stamp, limit, nowNs, rate);
  }

  // How far behind what was mixed the position stood when the mixing thread last set it;
  // 0 for a held clock.
  int64_t FramesBehindMix() const {
    for (;;) {
      const uint32_t before = sequence_.load(std::memory_order_acquire);
      const int64_t anchor = anchor_.load(std::memory_order_relaxed);
      const int64_t stamp = stamp_.load(std::memory_order_relaxed);
      const int64_t limit = limit_.load(std::memory_order_relaxed);
      std::atomic_thread_fence(std::memory_order_acquire);
      if ((before & 1) == 0 && sequence_.load(std::memory_order_relaxed) == before) {
        return stamp == 0 ? 0 : limit - anchor;
      }
    }
  }

  static int64_t Position(int64_t anchor, int64_t stamp, int64_t limit, int64_t nowNs, int rate) {
    if (stamp == 0) return limit;
    if (nowNs <= stamp) return anchor;
    const int64_t position = anchor + FramesIn(nowNs - stamp, rate);
    return position < limit ? position : limit;
  }

 private:
  std::atomic<uint32_t> sequence_{0};
  std::atomic<int64_t> anchor_{0};
  std::atomic<int64_t> stamp_{0};
  std::atomic<int64_t> limit_{0};
};

}  // namespace fenwhit
