#pragma once
// A bounded queue that many threads push to and one thread (the mixer) pops from,
// without locks: each cell carries a sequence number that says whose turn it is.
#include <atomic>
#include <cstdint>
#include <memory>

namespace fenwhit {

template <typename T>
class CommandQueue {
 public:
  // capacity must be a power of two.
  explicit CommandQueue(size_t capacity) : mask_(capacity - 1), cells_(new Cell[capacity]) {
    for (size_t i = 0; i < capacity; ++i) cells_[i].sequence.store(i, std::memory_order_relaxed);
  }

  // False when the queue is full.
  bool TryPush(const T& value) {
    size_t position = pushAt_.load(std::memory_order_relaxed);
    for (;;) {
      Cell& cell = cells_[position & mask_];
      const size_t sequence = cell.sequence.load(std::memory_order_acquire);
      const auto lag = static_cast<intptr_t>(sequence) - static_cast<intptr_t>(position);
      if (lag == 0) {
        if (pushAt_.compare_exchange_weak(position, position + 1, std::memory_order_relaxed)) {
          cell.value = value;
          cell.sequence.store(position + 1, std::memory_order_release);
          return true;
        }
      } else if (lag < 0) {
        return false;
      } else {
        position = pushAt_.load(std::memory_order_relaxed);
      }
    }
  }

  // Single consumer only.
  bool TryPop(T& value) {
    Cell& cell = cells_[popAt_ & mask_];
    if (cell.sequence.load(std::memory_order_acquire) != popAt_ + 1) return false;
    value = cell.value;
    cell.sequence.store(popAt_ + mask_ + 1, std::memory_order_release);
    ++popAt_;
    return true;
  }

 private:
  struct Cell {
    std::atomic<size_t> sequence{0};
    T value{};
  };
  size_t mask_;
  std::unique_ptr<Cell[]> cells_;
  std::atomic<size_t> pushAt_{0};
  size_t popAt_ = 0;
};

}  // namespace fenwhit
