#include "audio/mixer.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "audio/mix_gains.h"

namespace fenwhit {

namespace {
constexpr size_t kQueueCapacity = 4096;
constexpr int kPostPatienceMs = 100;
}  // namespace

Mixer::Mixer(int channelCount)
    : channels_(static_cast<size_t>(channelCount)),
      commands_(kQueueCapacity),
      accumulator_(kChunkFrames * 2),
      streamBuffer_(kChunkFrames * 2) {
  playingStreams_.reserve(channels_.size());
}

bool Mixer::Post(const MixCommand& posted) {
  MixCommand command = posted;
  if (command.postedNs == 0) {
    command.postedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           std::chrono::steady_clock::now().time_since_epoch())
                           .count();
  }
  if (commands_.TryPush(command)) return true;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPostPatienceMs);
  while (std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (commands_.TryPush(command)) return true;
  }
  return false;
}

void Mixer::Detach(MixerStream* stream, int64_t stampNs) {
  if (stream->channel >= 0) {
    channels_[stream->channel].stream = nullptr;
    stream->channel = -1;
  }
  StopClock(*stream, stampNs);
}

void Mixer::StopClock(MixerStream& stream, int64_t stampNs) {
  // The position stays where the stream was heard to stop.
  int64_t position = stream.played;
  if (stream.clockRunning && stampNs != 0) {
    position = PlaybackClock::Position(stream.clockAnchor, stream.clockStamp, stream.played,
                                       stampNs, stream.mixRate);
  }
  stream.clockRunning = false;
  stream.clock.Publish(position, 0, position);
}

void Mixer::HoldStreams(int64_t stampNs) {
  // A stopped clock stays as published; on resume it restarts from what has been mixed,
  // at most a buffer or two ahead of where it was held.
  for (Channel& channel : channels_) {
    if (channel.stream != nullptr && channel.stream->clockRunning) {
      StopClock(*channel.stream, stampNs);
    }
  }
}

void Mixer::Silence(Channel& channel, int64_t stampNs) {
  if (channel.stream != nullptr) Detach(channel.stream, stampNs);
  channel.sample = nullptr;
  channel.position = 0;
}

void Mixer::Apply(const MixCommand& command, int64_t stampNs) {
  if (command.op == MixCommand::Op::kStopStream || command.op == MixCommand::Op::kRelease) {
    Detach(command.stream, stampNs);
    if (command.op == MixCommand::Op::kRelease) {
      command.stream->released.store(true, std::memory_order_release);
    }
    return;
  }
  if (command.channel < 0 || command.channel >= ChannelCount()) return;
  Channel& channel = channels_[command.channel];
  switch (command.op) {
    case MixCommand::Op::kPlaySample:
      Silence(channel, stampNs);
      channel.sample = command.sample;
      channel.volume = 255;
      channel.pan = ClampPan(command.value);
      break;
    case MixCommand::Op::kPlayStream:
      Detach(command.stream, stampNs);
      Silence(channel, stampNs);
      channel.stream = command.stream;
      command.stream->channel = command.channel;
      break;
    case MixCommand::Op::kPan:
      channel.pan = ClampPan(command.value);
      break;
    case MixCommand::Op::kVolume:
      channel.volume = ClampVolume(command.value);
      break;
    case MixCommand::Op::kStopChannel:
      Silence(channel, stampNs);
      break;
    default:
      break;
  }
}

void Mixer::MixChunk(int frames) {
  std::fill(accumulator_.begin(), accumulator_.begin() + frames * 2, 0);
  for (Channel& channel : channels_) {
    if (channel.sample != nullptr) {
      const Gains gains = MonoGains(channel.volume, channel.pan);
      const std::vector<int16_t>& pcm = channel.sample->frames;
      const size_t count = std::min<size_t>(frames, pcm.size() - channel.position);
      const int16_t* from = pcm.data() + channel.position;
      for (size_t i = 0; i < count; ++i) {
        accumulator_[2 * i] += (from[i] * gains.left) >> 15;
        accumulator_[2 * i + 1] += (from[i] * gains.right) >> 15;
      }
      channel.position += count;
      if (channel.position >= pcm.size()) Silence(channel, 0);
    } else if (channel.stream != nullptr) {
      MixerStream& stream = *channel.stream;
      const Gains gains = StereoGains(channel.volume, channel.pan);
      // A ring that has run dry (the feeder fell behind) plays silence and does not
      // advance the stream's position.
      const size_t count = stream.ring.Read(streamBuffer_.data(), frames);
      for (size_t i = 0; i < count; ++i) {
        accumulator_[2 * i] += (streamBuffer_[2 * i] * gains.left) >> 15;
        accumulator_[2 * i + 1] += (streamBuffer_[2 * i + 1] * gains.right) >> 15;
      }
      stream.played += static_cast<int64_t>(count);
    }
  }
}

void Mixer::Mix(int16_t* out, int frames, int64_t stampNs) {
  // Commands keep their order: those behind a stream that has to wait wait with it.
  MixCommand command;
  while (isWaiting_ || commands_.TryPop(command)) {
    if (isWaiting_) command = waiting_;
    isWaiting_ = command.op == MixCommand::Op::kPlayStream && stampNs != 0 &&
                 stampNs - command.postedNs < kStreamStartDelayNs;
    if (isWaiting_) {
      waiting_ = command;
      break;
    }
    Apply(command, stampNs);
  }

  if (paused_.load(std::memory_order_relaxed)) {
    std::fill(out, out + frames * 2, int16_t{0});
    HoldStreams(stampNs);
    return;
  }

  playingStreams_.clear();
  for (Channel& channel : channels_) {
    if (channel.stream == nullptr) continue;
    channel.stream->playedBeforeBuffer = channel.stream->played;
    playingStreams_.push_back(channel.stream);
  }

  const int32_t master = masterGain_.load(std::memory_order_relaxed);
  for (int done = 0; done < frames;) {
    const int chunk = std::min(kChunkFrames, frames - done);
    MixChunk(chunk);
    int16_t* to = out + done * 2;
    if (master != kUnityGain) {
      // 64 bits: a full mix of loud channels times the gain overflows 32.
      for (int i = 0; i < chunk * 2; ++i) {
        accumulator_[i] = static_cast<int32_t>((int64_t{accumulator_[i]} * master) >> 15);
      }
    }
    for (int i = 0; i < chunk * 2; ++i) {
      to[i] = static_cast<int16_t>(std::clamp(accumulator_[i], -32768, 32767));
    }
    done += chunk;
  }

  for (MixerStream* stream : playingStreams_) PublishClock(*stream, frames, stampNs);
}

void Mixer::PublishClock(MixerStream& stream, int frames, int64_t stampNs) {
  if (stampNs == 0) {
    stream.clockRunning = false;
    stream.clock.Publish(stream.played, 0, stream.played);
    return;
  }
  int64_t anchor = stream.playedBeforeBuffer;
  if (stream.clockRunning) {
    // Carry on from where the clock stands now, so a burst of buffers does not make the
    // position jump. A small lag (rounding, a device clock a little fast) is made up at
    // once, and it never falls more than two buffers behind what has been mixed.
    const int64_t estimate = PlaybackClock::Position(
        stream.clockAnchor, stream.clockStamp, stream.playedBeforeBuffer, stampNs, stream.mixRate);
    const int64_t lag = stream.playedBeforeBuffer - estimate;
    if (lag > frames / 8) anchor = std::max(estimate, anchor - 2 * static_cast<int64_t>(frames));
  }
  stream.clockAnchor = anchor;
  stream.clockStamp = stampNs;
  stream.clockRunning = true;
  stream.clock.Publish(anchor, stampNs, stream.played);
}

}  // namespace fenwhit
