#include "audio/stream_feeder.h"

#include <algorithm>
#include <chrono>

#include "audio/thread_priority.h"

namespace fenwhit {

namespace {
constexpr size_t kFillChunk = 2048;
// The ring holds about 1.5 s; waking every 10 ms keeps it nearly full.
constexpr auto kFeedPeriod = std::chrono::milliseconds(10);
}  // namespace

StreamFeeder::~StreamFeeder() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void StreamFeeder::Add(std::unique_ptr<MixerStream> stream) {
  {
    std::lock_guard lock(mutex_);
    incoming_.push_back(std::move(stream));
  }
  wake_.notify_all();
}

void StreamFeeder::Start() {
  if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
}

void StreamFeeder::Fill(MixerStream& stream, size_t mostFrames) {
  int16_t buffer[kFillChunk * 2];
  size_t room = std::min(stream.ring.FreeFrames(), mostFrames);
  while (room > 0 && !stream.source->Dead()) {
    const int wanted = static_cast<int>(std::min(room, kFillChunk));
    const int made = stream.source->Produce(buffer, wanted);
    stream.ring.Write(buffer, static_cast<size_t>(made));
    room -= static_cast<size_t>(made);
    if (made < wanted) break;
  }
}

void StreamFeeder::FeedOnce() {
  {
    std::lock_guard lock(mutex_);
    for (auto& stream : incoming_) streams_.push_back(std::move(stream));
    incoming_.clear();
  }
  std::erase_if(streams_, [](const std::unique_ptr<MixerStream>& stream) {
    return stream->closed.load(std::memory_order_acquire) &&
           stream->released.load(std::memory_order_acquire);
  });
  for (auto& stream : streams_) {
    if (!stream->closed.load(std::memory_order_acquire)) Fill(*stream, SIZE_MAX);
  }
}

void StreamFeeder::Run() {
  RaiseThisThread(ThreadUrgency::kAhead);
  std::unique_lock lock(mutex_);
  while (!quit_) {
    lock.unlock();
    FeedOnce();
    lock.lock();
    wake_.wait_for(lock, kFeedPeriod, [this] { return quit_ || !incoming_.empty(); });
  }
}

}  // namespace fenwhit
