#include "audio/recording_sound_device.h"

#include <algorithm>

namespace fenwhit {

void RecordingSoundDevice::Record(SoundCall call) {
  std::lock_guard lock(mutex_);
  calls_.push_back(std::move(call));
}

void RecordingSoundDevice::Start(int mixRate, int softwareChannels) {
  Record({"start", softwareChannels, mixRate, 0, {}});
}

SoundHandle RecordingSoundDevice::LoadSample(int slot, const std::string& path) {
  SoundHandle handle = 0;
  {
    std::lock_guard lock(mutex_);
    if (std::find(failing_.begin(), failing_.end(), path) == failing_.end()) {
      handle = nextHandle_++;
    }
  }
  Record({"load", -1, slot, handle, path});
  return handle;
}

void RecordingSoundDevice::PlaySample(int channel, SoundHandle sample) {
  Record({"play", channel, 0, sample, {}});
}
void RecordingSoundDevice::SetPan(int channel, int pan) {
  Record({"pan", channel, pan, 0, {}});
}
void RecordingSoundDevice::SetVolume(int channel, int volume) {
  Record({"volume", channel, volume, 0, {}});
}
void RecordingSoundDevice::StopChannel(int channel) {
  Record({"stop", channel, 0, 0, {}});
}

SoundHandle RecordingSoundDevice::OpenStream(const std::string& path) {
  SoundHandle handle = 0;
  {
    std::lock_guard lock(mutex_);
    if (std::find(failing_.begin(), failing_.end(), path) == failing_.end()) {
      handle = nextHandle_++;
    }
  }
  Record({"open", -1, 0, handle, path});
  return handle;
}

void RecordingSoundDevice::PlayStream(int channel, SoundHandle stream) {
  Record({"stream_play", channel, 0, stream, {}});
}

int32_t RecordingSoundDevice::StreamTime(SoundHandle stream) {
  std::function<int32_t(SoundHandle)> clock;
  {
    std::lock_guard lock(mutex_);
    const auto last = lastTimes_.find(stream);
    if (paused_ && last != lastTimes_.end()) return last->second;
    clock = clock_;
  }
  // Outside the lock: a script may call back into the device.
  const int32_t time = clock ? clock(stream) : 1000;
  std::lock_guard lock(mutex_);
  lastTimes_[stream] = time;
  return time;
}

int64_t RecordingSoundDevice::StreamLoops(SoundHandle stream) {
  std::function<int64_t(SoundHandle)> loops;
  {
    std::lock_guard lock(mutex_);
    loops = loops_;
  }
  return loops ? loops(stream) : -1;
}

int32_t RecordingSoundDevice::StreamLoopMs(SoundHandle /*stream*/) {
  std::lock_guard lock(mutex_);
  return loops_ ? loopMs_ : -1;
}

void RecordingSoundDevice::SetStreamLoops(std::function<int64_t(SoundHandle)> loops,
                                          int32_t loopMs) {
  std::lock_guard lock(mutex_);
  loops_ = std::move(loops);
  loopMs_ = loopMs;
}

void RecordingSoundDevice::StopStream(SoundHandle stream) {
  Record({"stream_stop", -1, 0, stream, {}});
}
void RecordingSoundDevice::CloseStream(SoundHandle stream) {
  Record({"stream_close", -1, 0, stream, {}});
}

void RecordingSoundDevice::SetPaused(bool paused) {
  {
    std::lock_guard lock(mutex_);
    paused_ = paused;
  }
  Record({"pause", -1, paused ? 1 : 0, 0, {}});
}

void RecordingSoundDevice::SetMasterVolume(int level) {
  Record({"master", -1, level, 0, {}});
}

std::vector<SoundCall> RecordingSoundDevice::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

void RecordingSoundDevice::ClearCalls() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}

std::vector<SoundCall> RecordingSoundDevice::CallsOf(const std::string& op) const {
  std::lock_guard lock(mutex_);
  std::vector<SoundCall> out;
  for (const auto& call : calls_) {
    if (call.op == op) out.push_back(call);
  }
  return out;
}

void RecordingSoundDevice::SetStreamClock(std::function<int32_t(SoundHandle)> clock) {
  std::lock_guard lock(mutex_);
  clock_ = std::move(clock);
}

double RecordingSoundDevice::StreamSecondsPlayed(SoundHandle stream) {
  std::function<double(SoundHandle)> played;
  {
    std::lock_guard lock(mutex_);
    played = played_;
  }
  return played ? played(stream) : -1.0;
}

void RecordingSoundDevice::SetSecondsPlayed(std::function<double(SoundHandle)> played) {
  std::lock_guard lock(mutex_);
  played_ = std::move(played);
}

void RecordingSoundDevice::FailPath(const std::string& path) {
  std::lock_guard lock(mutex_);
  failing_.push_back(path);
}

}  // namespace fenwhit
