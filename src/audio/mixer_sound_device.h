#pragma once
// The game's sound device: Ogg Vorbis samples and streams played through our own mixer
// to the SDL audio device (or, without one, to a silent output that keeps real time).
//
// Threads: any thread may call in. Samples decode on the caller's thread; streams are
// fed by a thread of their own; the mix runs on the output's thread, which never waits
// for a lock.
//
// Conventions where the seam leaves room: starting a sample resets the channel to
// volume 255 and centre pan (or the pan it is started at); a stream keeps the channel's volume and
// pan, and the volume set right after starting it is in place before it is heard; a null or unknown
// handle does nothing (and StreamTime gives -1 for it); a stopped stream keeps the position at
// which it stopped and, played again, goes on from there. A sample started while paused
// is heard from its start on resume. Master volume level n scales amplitude by (n/10)^2
// (5 is -12 dB, 1 is -40 dB), which sounds roughly even from step to step.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "audio/audio_output.h"
#include "audio/mixer.h"
#include "audio/sound_device.h"
#include "audio/stream_feeder.h"

namespace fenwhit {

class MixerSoundDevice : public SoundDevice {
 public:
  static constexpr int kChannels = 71;
  static constexpr int kDefaultRate = 44100;
  static constexpr int kMaxSamples = 1024;

  MixerSoundDevice();
  ~MixerSoundDevice() override;
  MixerSoundDevice(const MixerSoundDevice&) = delete;
  MixerSoundDevice& operator=(const MixerSoundDevice&) = delete;

  // Opens the output (once; later calls do nothing). mixRate is taken between 8000 and
  // 192000 Hz; the channel count is fixed at 71 whatever softwareChannels says.
  void Start(int mixRate, int softwareChannels) override;
  SoundHandle LoadSample(int slot, const std::string& path) override;
  void PlaySample(int channel, SoundHandle sample) override;
  void PlaySampleAt(int channel, SoundHandle sample, int pan) override;
  void SetPan(int channel, int pan) override;
  void SetVolume(int channel, int volume) override;
  void StopChannel(int channel) override;
  SoundHandle OpenStream(const std::string& path) override;
  void PlayStream(int channel, SoundHandle stream) override;
  int32_t StreamTime(SoundHandle stream) override;
  int64_t StreamLoops(SoundHandle stream) override;
  int32_t StreamLoopMs(SoundHandle stream) override;
  double StreamSecondsPlayed(SoundHandle stream) override;
  SoundHandle OpenDecodedStream(std::unique_ptr<StreamDecoder> decoder) override;
  void StopStream(SoundHandle stream) override;
  void CloseStream(SoundHandle stream) override;
  void SetPaused(bool paused) override;
  void SetMasterVolume(int level) override;
  int OutputLatencyMs() override;
  int StreamLatencyMs(SoundHandle stream) override;

  // A sample from 16-bit mono frames at the mixing rate (benchmarks, tests).
  SoundHandle AddSample(std::vector<int16_t> frames);
  int MixRate() const { return mixRate_.load(std::memory_order_relaxed); }
  // True once started without a sound card: the mix is taken in real time and dropped.
  bool Silent() const { return silent_; }

  // Offline rendering for tests, only before Start: feeds the streams and mixes on the
  // caller's thread. Stream positions then advance exactly with the frames rendered.
  void RenderOffline(int16_t* out, int frames);
  // Frames a stream has played at the mixing rate (-1 for an unknown handle).
  int64_t StreamFramesPlayed(SoundHandle stream);

 private:
  static void Render(void* self, int16_t* out, int frames);
  SoundHandle AddSample(std::unique_ptr<Sample> sample);
  SoundHandle AddStream(std::unique_ptr<StreamSource> source);
  const Sample* FindSample(SoundHandle handle) const;
  // The stream of a handle; the caller holds streamsMutex_.
  MixerStream* FindStream(SoundHandle handle);
  int64_t FramesPlayed(const MixerStream& stream) const;
  void Post(MixCommand::Op op, int channel, int value = 0, const Sample* sample = nullptr,
            MixerStream* stream = nullptr);

  std::atomic<int> mixRate_{kDefaultRate};
  bool started_ = false;
  bool silent_ = false;
  Mixer mixer_;

  std::array<std::atomic<const Sample*>, kMaxSamples> samples_{};
  std::atomic<int> nextSample_{1};

  std::mutex streamsMutex_;  // never taken by the mixing thread
  std::unordered_map<SoundHandle, MixerStream*> streams_;
  SoundHandle nextStream_ = kMaxSamples;

  StreamFeeder feeder_;
  std::unique_ptr<AudioOutput> output_;  // last: stops mixing before the rest goes
};

}  // namespace fenwhit
