#pragma once
// Keeps every open stream's ring filled ahead of the mixing thread, on a thread of its
// own, and frees the streams that have been closed once the mixer has let them go.
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/mixer_stream.h"

namespace fenwhit {

class StreamFeeder {
 public:
  StreamFeeder() = default;
  ~StreamFeeder();
  StreamFeeder(const StreamFeeder&) = delete;
  StreamFeeder& operator=(const StreamFeeder&) = delete;

  // Any thread: the feeder takes the stream over.
  void Add(std::unique_ptr<MixerStream> stream);
  void Start();
  // One pass on the calling thread; only while the feeder thread is not running.
  void FeedOnce();

  // Fills a stream's ring; the caller must be the stream's only producer.
  static void Fill(MixerStream& stream, size_t mostFrames);

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable wake_;
  bool quit_ = false;
  std::vector<std::unique_ptr<MixerStream>> incoming_;
  std::vector<std::unique_ptr<MixerStream>> streams_;  // the feeding side only
  std::thread thread_;
};

}  // namespace fenwhit
