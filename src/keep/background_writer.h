#pragma once
// One thread that does the game's disk writes, so that a slow or busy disk never holds up
// a frame. Jobs run one at a time in the order they were queued. A job queued under a tag
// replaces the one of that tag still waiting (the newest settings are all that need
// writing); it keeps the waiting one's place in the line.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace fenwhit {

class BackgroundWriter {
 public:
  using Job = std::function<void()>;

  BackgroundWriter();
  // Runs whatever is still queued first.
  ~BackgroundWriter();
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  void Queue(Job job);
  void QueueReplacing(const void* tag, Job job);

  // Returns once every job queued so far has run. It waits as long as the disk takes: what
  // the player did before leaving must be on disk when the program ends.
  void Drain();

 private:
  struct Entry {
    const void* tag;
    Job job;
  };

  void Run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Entry> waiting_;
  bool running_ = false;  // a job taken from the line has not finished yet
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace fenwhit
