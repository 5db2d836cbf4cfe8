#include "audio/retry_thread.h"

namespace fenwhit {

RetryThread::RetryThread(std::chrono::milliseconds period, std::function<bool()> attempt)
    : period_(period), attempt_(std::move(attempt)), thread_([this] { Run(); }) {}

void RetryThread::Arm() {
  std::lock_guard lock(mutex_);
  armed_ = true;
  ++armings_;
  wake_.notify_all();
}

void RetryThread::Nudge() {
  std::lock_guard lock(mutex_);
  if (!armed_) return;
  nudged_ = true;
  wake_.notify_all();
}

void RetryThread::Stop() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    wake_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

void RetryThread::Run() {
  std::unique_lock lock(mutex_);
  while (!quit_) {
    if (!armed_) {
      wake_.wait(lock, [this] { return quit_ || armed_; });
      continue;
    }
    const uint64_t armings = armings_;
    const auto due = std::chrono::steady_clock::now() + period_;
    const bool woken =
        wake_.wait_until(lock, due, [&] { return quit_ || nudged_ || armings_ != armings; });
    // A new arming starts the period again.
    if (quit_ || (woken && !nudged_)) continue;
    nudged_ = false;
    const uint64_t before = armings_;
    lock.unlock();
    const bool again = attempt_();
    lock.lock();
    if (!again && armings_ == before) armed_ = nudged_ = false;
  }
}

}  // namespace fenwhit
