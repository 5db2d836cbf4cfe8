#pragma once
// The software mixer: numbered channels, each playing a 16-bit mono sample or a stereo
// stream at its own volume and pan. Any thread posts commands; one thread mixes, and
// applies the commands at the start of each buffer. Mixing never blocks, allocates or
// decodes.
//
// A stream starts at its channel's volume, and in real time only at the first buffer
// kStreamStartDelayNs after its play command was posted: callers start a stream and then
// set its volume, and nothing of it may be heard louder than that.
//
// Paused, the mix is silence and nothing advances: samples keep their place, streams take
// nothing from their rings and their clocks stand still where they were heard. Commands
// still apply, so a sample started during a pause is heard from its start on resume.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

#include "audio/command_queue.h"
#include "audio/mix_gains.h"
#include "audio/mixer_stream.h"

namespace fenwhit {

struct Sample {
  std::vector<int16_t> frames;  // mono, at the mixing rate
};

struct MixCommand {
  enum class Op { kPlaySample, kPlayStream, kPan, kVolume, kStopChannel, kStopStream, kRelease };
  Op op = Op::kStopChannel;
  int channel = 0;
  int value = 0;  // the pan of a sample being started, else the volume or pan set
  const Sample* sample = nullptr;
  MixerStream* stream = nullptr;
  int64_t postedNs = 0;  // steady clock when posted; Post sets it when left at 0
};

class Mixer {
 public:
  static constexpr int64_t kStreamStartDelayNs = 10'000'000;

  explicit Mixer(int channelCount);

  int ChannelCount() const { return static_cast<int>(channels_.size()); }
  // Any thread. When the queue is full (the mixing thread has stalled) it waits a
  // little and then gives up; returns whether the command was queued.
  bool Post(const MixCommand& command);
  // Any thread; takes effect from the next buffer.
  void SetPaused(bool paused) { paused_.store(paused, std::memory_order_relaxed); }
  // Any thread: a Q15 gain, 0 to kUnityGain, on the summed mix before clipping.
  void SetMasterGain(int32_t gain) {
    masterGain_.store(std::clamp(gain, 0, kUnityGain), std::memory_order_relaxed);
  }

  // The mixing thread: fills frames interleaved stereo frames. stampNs is the steady
  // clock at this buffer, for the streams' clocks and their start (0 when mixing offline:
  // then every command posted so far applies at once).
  void Mix(int16_t* out, int frames, int64_t stampNs);

 private:
  struct Channel {
    const Sample* sample = nullptr;
    size_t position = 0;
    MixerStream* stream = nullptr;
    int volume = 255;
    int pan = 128;
  };
  static constexpr int kChunkFrames = 512;

  void Apply(const MixCommand& command, int64_t stampNs);
  void Detach(MixerStream* stream, int64_t stampNs);
  void StopClock(MixerStream& stream, int64_t stampNs);
  void HoldStreams(int64_t stampNs);
  void Silence(Channel& channel, int64_t stampNs);
  void PublishClock(MixerStream& stream, int frames, int64_t stampNs);
  void MixChunk(int frames);

  std::vector<Channel> channels_;
  CommandQueue<MixCommand> commands_;
  std::vector<int32_t> accumulator_;
  std::vector<int16_t> streamBuffer_;
  std::vector<MixerStream*> playingStreams_;
  // A stream's play command waiting for its start, with the commands after it.
  MixCommand waiting_;
  bool isWaiting_ = false;
  std::atomic<bool> paused_{false};
  std::atomic<int32_t> masterGain_{kUnityGain};
};

}  // namespace fenwhit
