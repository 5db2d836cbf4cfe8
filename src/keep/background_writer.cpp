#include "keep/background_writer.h"

#include <algorithm>
#include <utility>

namespace fenwhit {

BackgroundWriter::BackgroundWriter() : thread_([this] { Run(); }) {}

BackgroundWriter::~BackgroundWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundWriter::Queue(Job job) {
  QueueReplacing(nullptr, std::move(job));
}

void BackgroundWriter::QueueReplacing(const void* tag, Job job) {
  {
    std::lock_guard lock(mutex_);
    const auto same = std::find_if(waiting_.begin(), waiting_.end(),
                                   [tag](const Entry& entry) { return entry.tag == tag; });
    if (tag != nullptr && same != waiting_.end()) {
      same->job = std::move(job);
      return;
    }
    waiting_.push_back({tag, std::move(job)});
  }
  changed_.notify_all();
}

void BackgroundWriter::Drain() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.empty() && !running_; });
}

void BackgroundWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
    // Stopping still runs every job in the line before the thread ends.
    if (waiting_.empty()) return;
    Job job = std::move(waiting_.front().job);
    waiting_.pop_front();
    running_ = true;
    lock.unlock();
    job();
    job = nullptr;  // what it held (a whole replay) is let go outside the lock
    lock.lock();
    running_ = false;
    changed_.notify_all();
  }
}

}  // namespace fenwhit
