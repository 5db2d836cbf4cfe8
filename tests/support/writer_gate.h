#pragma once
// A disk that will not answer: a job that holds the writer thread until it is opened, so a
// test can see what goes on while a write is stuck.
#include <condition_variable>
#include <mutex>

#include "keep/background_writer.h"

namespace fenwhit::testing {

class WriterGate {
 public:
  // Queues the job that waits at the gate.
  explicit WriterGate(BackgroundWriter& writer) {
    writer.Queue([this] {
      std::unique_lock lock(mutex_);
      reached_ = true;
      changed_.notify_all();
      changed_.wait(lock, [this] { return open_; });
    });
  }
  ~WriterGate() { Open(); }

  // Returns once the writer thread stands at the gate: everything queued before is done.
  void AwaitReached() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return reached_; });
  }
  void Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool reached_ = false;
  bool open_ = false;
};

}  // namespace fenwhit::testing
