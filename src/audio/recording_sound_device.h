#pragma once
// A sound device that plays nothing and writes down every call, for tests.
// Stream time comes from a script so tests can step the beat exactly; paused, every
// stream keeps reporting what it reported last before the pause.
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "audio/sound_device.h"

namespace fenwhit {

struct SoundCall {
  std::string op;  // "start", "load", "play", "pan", "volume", "stop", "open", "pause", ...
  int channel = -1;
  int value = 0;  // pan, volume, slot, handle, 1/0 for pause or the master level
  SoundHandle handle = 0;
  std::string path;
};

class RecordingSoundDevice : public SoundDevice {
 public:
  void Start(int mixRate, int softwareChannels) override;
  SoundHandle LoadSample(int slot, const std::string& path) override;
  void PlaySample(int channel, SoundHandle sample) override;
  void SetPan(int channel, int pan) override;
  void SetVolume(int channel, int volume) override;
  void StopChannel(int channel) override;
  SoundHandle OpenStream(const std::string& path) override;
  void PlayStream(int channel, SoundHandle stream) override;
  int32_t StreamTime(SoundHandle stream) override;
  int64_t StreamLoops(SoundHandle stream) override;
  int32_t StreamLoopMs(SoundHandle stream) override;
  double StreamSecondsPlayed(SoundHandle stream) override;
  void StopStream(SoundHandle stream) override;
  void CloseStream(SoundHandle stream) override;
  void SetPaused(bool paused) override;
  void SetMasterVolume(int level) override;
  int OutputLatencyMs() override { return latencyMs_.load(); }

  std::vector<SoundCall> Calls() const;
  void ClearCalls();
  // Calls of one kind only, in order.
  std::vector<SoundCall> CallsOf(const std::string& op) const;
  // Where stream time comes from; by default 1000 ms, which never counts as a beat.
  void SetStreamClock(std::function<int32_t(SoundHandle)> clock);
  // Where StreamLoops comes from, and the loop's length; by default a device that cannot tell.
  void SetStreamLoops(std::function<int64_t(SoundHandle)> loops, int32_t loopMs);
  // Where StreamSecondsPlayed comes from; by default -1, a device that cannot tell.
  void SetSecondsPlayed(std::function<double(SoundHandle)> played);
  // What OutputLatencyMs reports (0 unless set), as a sound card's would.
  void SetOutputLatencyMs(int ms) { latencyMs_.store(ms); }
  // Paths that fail to load or open (give the null handle).
  void FailPath(const std::string& path);

 private:
  void Record(SoundCall call);

  mutable std::mutex mutex_;
  std::vector<SoundCall> calls_;
  std::vector<std::string> failing_;
  std::function<int32_t(SoundHandle)> clock_;
  std::function<double(SoundHandle)> played_;
  std::function<int64_t(SoundHandle)> loops_;
  int32_t loopMs_ = -1;
  bool paused_ = false;
  std::map<SoundHandle, int32_t> lastTimes_;
  std::atomic<SoundHandle> nextHandle_{1};
  std::atomic<int> latencyMs_{0};
};

}  // namespace fenwhit
