#include "audio/mixer_sound_device.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "audio/mix_gains.h"
#include "audio/sample_decoder.h"
#include "platform/file_bytes.h"

namespace fenwhit {

namespace {

// Sound files larger than this are not read at all.
constexpr int64_t kLargestSampleFile = 64 << 20;
// What a new stream decodes before OpenStream returns, so it can start at once.
constexpr size_t kStreamPrefillFrames = 8192;

int64_t SteadyNowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

MixerSoundDevice::MixerSoundDevice() : mixer_(kChannels) {}

MixerSoundDevice::~MixerSoundDevice() {
  output_.reset();
  for (auto& slot : samples_) delete slot.load(std::memory_order_acquire);
  // The feeder frees the streams when it goes.
}

void MixerSoundDevice::Start(int mixRate, int /*softwareChannels*/) {
  if (started_) return;
  started_ = true;
  if (mixRate >= 8000 && mixRate <= 192000) mixRate_.store(mixRate, std::memory_order_relaxed);
  feeder_.Start();
  std::string reason;
  output_ = OpenSdlAudioOutput(MixRate(), &MixerSoundDevice::Render, this, reason);
  if (!output_) {
    // Said once per process, however many devices are made.
    static std::atomic<bool> told{false};
    if (!reason.empty() && !told.exchange(true)) {
      std::fprintf(stderr, "fenwhit: no sound device (%s); playing silently\n", reason.c_str());
    }
    silent_ = true;
    output_ = StartSilentAudioOutput(MixRate(), &MixerSoundDevice::Render, this);
  }
}

int MixerSoundDevice::OutputLatencyMs() {
  return output_ ? output_->LatencyMs() : 0;
}

void MixerSoundDevice::Render(void* self, int16_t* out, int frames) {
  static_cast<MixerSoundDevice*>(self)->mixer_.Mix(out, frames, SteadyNowNs());
}

void MixerSoundDevice::RenderOffline(int16_t* out, int frames) {
  if (started_) return;
  constexpr int kStep = 4096;  // well within a stream's ring
  for (int done = 0; done < frames;) {
    const int step = frames - done < kStep ? frames - done : kStep;
    feeder_.FeedOnce();
    mixer_.Mix(out + done * 2, step, 0);
    done += step;
  }
}

SoundHandle MixerSoundDevice::AddSample(std::unique_ptr<Sample> sample) {
  const int index = nextSample_.fetch_add(1, std::memory_order_relaxed);
  if (index >= kMaxSamples) return 0;
  samples_[index].store(sample.release(), std::memory_order_release);
  return index;
}

SoundHandle MixerSoundDevice::AddSample(std::vector<int16_t> frames) {
  if (frames.empty()) return 0;
  auto sample = std::make_unique<Sample>();
  sample->frames = std::move(frames);
  return AddSample(std::move(sample));
}

SoundHandle MixerSoundDevice::LoadSample(int /*slot*/, const std::string& path) {
  // Every load makes a new handle; samples live as long as the device.
  std::optional<std::vector<uint8_t>> bytes = ReadRegularFile(path, kLargestSampleFile);
  if (!bytes) return 0;
  auto sample = std::make_unique<Sample>();
  if (!DecodeSample(std::make_unique<MemorySource>(std::move(*bytes)), MixRate(), sample->frames)) {
    return 0;
  }
  return AddSample(std::move(sample));
}

const Sample* MixerSoundDevice::FindSample(SoundHandle handle) const {
  if (handle <= 0 || handle >= kMaxSamples) return nullptr;
  return samples_[handle].load(std::memory_order_acquire);
}

void MixerSoundDevice::Post(MixCommand::Op op, int channel, int value, const Sample* sample,
                            MixerStream* stream) {
  MixCommand command;
  command.op = op;
  command.channel = channel;
  command.value = value;
  command.sample = sample;
  command.stream = stream;
  mixer_.Post(command);
}

void MixerSoundDevice::PlaySample(int channel, SoundHandle sample) {
  PlaySampleAt(channel, sample, 128);
}

void MixerSoundDevice::PlaySampleAt(int channel, SoundHandle sample, int pan) {
  // One command, so no buffer can mix the sample before its pan is in place.
  const Sample* found = FindSample(sample);
  if (found != nullptr) Post(MixCommand::Op::kPlaySample, channel, pan, found);
}

void MixerSoundDevice::SetPan(int channel, int pan) {
  Post(MixCommand::Op::kPan, channel, pan);
}

void MixerSoundDevice::SetVolume(int channel, int volume) {
  Post(MixCommand::Op::kVolume, channel, volume);
}

void MixerSoundDevice::StopChannel(int channel) {
  Post(MixCommand::Op::kStopChannel, channel);
}

SoundHandle MixerSoundDevice::OpenStream(const std::string& path) {
  return AddStream(StreamSource::Open(FileSource::Open(path), MixRate()));
}

SoundHandle MixerSoundDevice::OpenDecodedStream(std::unique_ptr<StreamDecoder> decoder) {
  return AddStream(StreamSource::Open(std::move(decoder), MixRate()));
}

SoundHandle MixerSoundDevice::AddStream(std::unique_ptr<StreamSource> source) {
  if (!source) return 0;
  auto stream = std::make_unique<MixerStream>(std::move(source), MixRate());
  // Nobody else knows the stream yet, so this thread may act as its producer.
  StreamFeeder::Fill(*stream, kStreamPrefillFrames);
  std::lock_guard lock(streamsMutex_);
  const SoundHandle handle = nextStream_++;
  streams_[handle] = stream.get();
  feeder_.Add(std::move(stream));
  return handle;
}

MixerStream* MixerSoundDevice::FindStream(SoundHandle handle) {
  const auto found = streams_.find(handle);
  return found == streams_.end() ? nullptr : found->second;
}

int64_t MixerSoundDevice::FramesPlayed(const MixerStream& stream) const {
  if (stream.stopped.load(std::memory_order_acquire)) {
    return stream.stoppedAt.load(std::memory_order_relaxed);
  }
  return stream.clock.FramesAt(SteadyNowNs(), MixRate());
}

void MixerSoundDevice::PlayStream(int channel, SoundHandle stream) {
  std::lock_guard lock(streamsMutex_);
  MixerStream* found = FindStream(stream);
  if (found == nullptr || channel < 0 || channel >= kChannels) return;
  found->stopped.store(false, std::memory_order_release);
  Post(MixCommand::Op::kPlayStream, channel, 0, nullptr, found);
}

namespace {
constexpr int32_t kStoppedFloorMs = 33;
}  // namespace

int32_t MixerSoundDevice::StreamTime(SoundHandle stream) {
  std::lock_guard lock(streamsMutex_);
  const MixerStream* found = FindStream(stream);
  if (found == nullptr) return -1;
  const int32_t time = found->LoopMilliseconds(FramesPlayed(*found));
  // A stopped stream reports where it stopped. The game counts a beat whenever its
  // beat track reports under 33 ms, so a track stopped right at its loop start reports
  // the end of that window instead: a stream that no longer plays passes no more starts.
  if (found->stopped.load(std::memory_order_acquire) && time >= 0 && time < kStoppedFloorMs) {
    return kStoppedFloorMs;
  }
  return time;
}

int64_t MixerSoundDevice::StreamLoops(SoundHandle stream) {
  std::lock_guard lock(streamsMutex_);
  const MixerStream* found = FindStream(stream);
  return found == nullptr ? -1 : found->Loops(FramesPlayed(*found));
}

int32_t MixerSoundDevice::StreamLoopMs(SoundHandle stream) {
  std::lock_guard lock(streamsMutex_);
  const MixerStream* found = FindStream(stream);
  if (found == nullptr || found->sourceRate <= 0) return -1;
  return static_cast<int32_t>(found->loopFrames * 1000 / found->sourceRate);
}

int MixerSoundDevice::StreamLatencyMs(SoundHandle stream) {
  const int output = OutputLatencyMs();
  std::lock_guard lock(streamsMutex_);
  const MixerStream* found = FindStream(stream);
  if (found == nullptr) return output;
  // The output's latency is the newest mixed frame's; the clock reports older frames, which
  // are that much nearer the speaker.
  const int64_t behindMs = found->clock.FramesBehindMix() * 1000 / MixRate();
  return static_cast<int>(std::max<int64_t>(0, output - behindMs));
}

int64_t MixerSoundDevice::StreamFramesPlayed(SoundHandle stream) {
  std::lock_guard lock(streamsMutex_);
  const MixerStream* found = FindStream(stream);
  return found == nullptr ? -1 : FramesPlayed(*found);
}

double MixerSoundDevice::StreamSecondsPlayed(SoundHandle stream) {
  const int64_t frames = StreamFramesPlayed(stream);
  return frames < 0 ? -1.0 : static_cast<double>(frames) / MixRate();
}

void MixerSoundDevice::StopStream(SoundHandle stream) {
  std::lock_guard lock(streamsMutex_);
  MixerStream* found = FindStream(stream);
  if (found == nullptr) return;
  // Freeze the position now, not when the mixer gets to the command.
  if (!found->stopped.load(std::memory_order_relaxed)) {
    found->stoppedAt.store(FramesPlayed(*found), std::memory_order_relaxed);
    found->stopped.store(true, std::memory_order_release);
  }
  Post(MixCommand::Op::kStopStream, -1, 0, nullptr, found);
}

void MixerSoundDevice::CloseStream(SoundHandle stream) {
  std::lock_guard lock(streamsMutex_);
  MixerStream* found = FindStream(stream);
  if (found == nullptr) return;
  streams_.erase(stream);
  found->closed.store(true, std::memory_order_release);
  // If the mixer never gets the command the stream is kept, never freed under it.
  Post(MixCommand::Op::kRelease, -1, 0, nullptr, found);
}

void MixerSoundDevice::SetPaused(bool paused) {
  mixer_.SetPaused(paused);
}

void MixerSoundDevice::SetMasterVolume(int level) {
  level = std::clamp(level, 0, kMasterVolumeSteps);
  mixer_.SetMasterGain(kUnityGain * level * level / (kMasterVolumeSteps * kMasterVolumeSteps));
}

}  // namespace fenwhit
