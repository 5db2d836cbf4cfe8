#pragma once
// A single-producer, single-consumer ring of 16-bit stereo frames: the stream feeder
// writes ahead, the mixing thread reads, and neither ever waits for the other.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>

namespace fenwhit {

class FrameRing {
 public:
  // capacityFrames must be a power of two.
  explicit FrameRing(size_t capacityFrames)
      : capacity_(capacityFrames), data_(new int16_t[capacityFrames * 2]) {}

  size_t Capacity() const { return capacity_; }
  // Producer side.
  size_t FreeFrames() const {
    return capacity_ - static_cast<size_t>(written_.load(std::memory_order_relaxed) -
                                           read_.load(std::memory_order_acquire));
  }
  void Write(const int16_t* frames, size_t count) {
    uint64_t at = written_.load(std::memory_order_relaxed);
    for (size_t done = 0; done < count;) {
      const size_t offset = static_cast<size_t>(at & (capacity_ - 1));
      const size_t run = std::min(count - done, capacity_ - offset);
      std::memcpy(&data_[offset * 2], frames + done * 2, run * 2 * sizeof(int16_t));
      done += run;
      at += run;
    }
    written_.store(at, std::memory_order_release);
  }
  // Consumer side: at most count frames, returns how many were read.
  size_t Read(int16_t* frames, size_t count) {
    uint64_t at = read_.load(std::memory_order_relaxed);
    const size_t available = static_cast<size_t>(written_.load(std::memory_order_acquire) - at);
    count = std::min(count, available);
    for (size_t done = 0; done < count;) {
      const size_t offset = static_cast<size_t>(at & (capacity_ - 1));
      const size_t run = std::min(count - done, capacity_ - offset);
      std::memcpy(frames + done * 2, &data_[offset * 2], run * 2 * sizeof(int16_t));
      done += run;
      at += run;
    }
    read_.store(at, std::memory_order_release);
    return count;
  }

 private:
  size_t capacity_;
  std::unique_ptr<int16_t[]> data_;
  std::atomic<uint64_t> written_{0};
  std::atomic<uint64_t> read_{0};
};

}  // namespace fenwhit
