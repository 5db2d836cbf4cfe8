#include "sim/virtual_sound_device.h"

#include <cmath>

#include "sim/beat_lockstep.h"

namespace fenwhit::sim {

namespace {

constexpr double kBeatMs = 60000.0 / 180;
constexpr int32_t kFarFromLoopStart = 1000;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

SoundHandle VirtualSoundDevice::OpenStream(const std::string& path) {
  const SoundHandle handle = SilentSoundDevice::OpenStream(path);
  if (EndsWith(path, "BPM180.ogg")) {
    beatTrack_ = handle;
    playing_ = false;
    TheLockstep().TrackOpened(clock_.Now());
  }
  return handle;
}

// Called on the beat thread, which reads its own virtual time.
void VirtualSoundDevice::PlayStream(int, SoundHandle stream) {
  if (stream != beatTrack_) return;
  startedAt_ = TheLockstep().BeatNow();
  playing_ = true;
}

int32_t VirtualSoundDevice::StreamTime(SoundHandle stream) {
  if (stream != beatTrack_ || !playing_) return kFarFromLoopStart;
  const double elapsedMs = (TheLockstep().BeatNow() - startedAt_) * 1000;
  return static_cast<int32_t>(std::fmod(elapsedMs, kBeatMs));
}

void VirtualSoundDevice::StopStream(SoundHandle stream) {
  if (stream == beatTrack_) playing_ = false;
}

// Only the beat thread closes the beat track, as the last thing it does.
void VirtualSoundDevice::CloseStream(SoundHandle stream) {
  if (stream == beatTrack_) TheLockstep().ThreadEnding();
}

}  // namespace fenwhit::sim
