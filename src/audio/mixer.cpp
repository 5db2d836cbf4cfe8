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

bool Mixer::Post(const MixCommand& command) {
  if (commands_.TryPush(command)) return true;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPostPatienceMs);
  while (std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (commands_.TryPush(command)) return true;
  }
  return false;
}

void Mixer::Detach(MixerStream* stream) {
  if (stream->channel >= 0) {
    channels_[stream->channel].stream = nullptr;
    stream->channel = -1;
  }
  // The position stays where the stream stopped.
  stream->clock.Publish(stream->played, 0, 0);
}

void Mixer::Silence(Channel& channel) {
  if (channel.stream != nullptr) Detach(channel.stream);
  channel.sample = nullptr;
  channel.position = 0;
}

void Mixer::Apply(const MixCommand& command) {
  if (command.op == MixCommand::Op::kStopStream || command.op == MixCommand::Op::kRelease) {
    Detach(command.stream);
    if (command.op == MixCommand::Op::kRelease) {
      command.stream->released.store(true, std::memory_order_release);
    }
    return;
  }
  if (command.channel < 0 || command.channel >= ChannelCount()) return;
  Channel& channel = channels_[command.channel];
  switch (command.op) {
    case MixCommand::Op::kPlaySample:
      Silence(channel);
      channel.sample = command.sample;
      channel.volume = 255;
      channel.pan = 128;
      break;
    case MixCommand::Op::kPlayStream:
      Detach(command.stream);
      Silence(channel);
      channel.stream = command.stream;
      command.stream->channel = command.channel;
      channel.volume = 255;
      channel.pan = 128;
      break;
    case MixCommand::Op::kPan:
      channel.pan = ClampPan(command.value);
      break;
    case MixCommand::Op::kVolume:
      channel.volume = ClampVolume(command.value);
      break;
    case MixCommand::Op::kStopChannel:
      Silence(channel);
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
      if (channel.position >= pcm.size()) Silence(channel);
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
  MixCommand command;
  while (commands_.TryPop(command)) Apply(command);

  playingStreams_.clear();
  for (Channel& channel : channels_) {
    if (channel.stream == nullptr) continue;
    channel.stream->playedBeforeBuffer = channel.stream->played;
    playingStreams_.push_back(channel.stream);
  }

  for (int done = 0; done < frames;) {
    const int chunk = std::min(kChunkFrames, frames - done);
    MixChunk(chunk);
    int16_t* to = out + done * 2;
    for (int i = 0; i < chunk * 2; ++i) {
      to[i] = static_cast<int16_t>(std::clamp(accumulator_[i], -32768, 32767));
    }
    done += chunk;
  }

  for (MixerStream* stream : playingStreams_) {
    const auto advance = static_cast<int32_t>(stream->played - stream->playedBeforeBuffer);
    stream->clock.Publish(stream->playedBeforeBuffer, advance, stampNs);
  }
}

}  // namespace fenwhit
