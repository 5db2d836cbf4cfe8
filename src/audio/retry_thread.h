#pragma once
// A thread of its own that tries something again and again until it works: once a period
// while armed, and at once when nudged. The caller's thread never runs the attempt, and
// stopping wakes the thread at once, whatever is left of its period.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace fenwhit {

class RetryThread {
 public:
  // attempt returns true while it is still to be tried again.
  RetryThread(std::chrono::milliseconds period, std::function<bool()> attempt);
  ~RetryThread() { Stop(); }
  RetryThread(const RetryThread&) = delete;
  RetryThread& operator=(const RetryThread&) = delete;

  // Starts trying, the first time one period from now.
  void Arm();
  // Tries at once if armed: something says it may work now.
  void Nudge();
  // Waits for an attempt under way to end; none starts after.
  void Stop();

 private:
  void Run();

  const std::chrono::milliseconds period_;
  const std::function<bool()> attempt_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool armed_ = false;
  bool nudged_ = false;
  bool quit_ = false;
  // Counts the arming, so one that comes during an attempt is not undone by its end.
  uint64_t armings_ = 0;
  std::thread thread_;  // last: starts once the rest is in place
};

}  // namespace fenwhit
