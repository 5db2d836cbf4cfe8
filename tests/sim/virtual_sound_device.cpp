#include "sim/virtual_sound_device.h"

#include <cmath>

#include "audio/byte_source.h"
#include "audio/sample_decoder.h"
#include "audio/stream_source.h"
#include "sim/beat_lockstep.h"

namespace fenwhit::sim {

namespace {

constexpr int kMixRate = 44100;
constexpr int32_t kFarFromLoopStart = 1000;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

SoundHandle VirtualSoundDevice::LoadSample(int slot, const std::string& path) {
  std::vector<int16_t> frames;
  if (!DecodeSample(FileSource::Open(path), kMixRate, frames)) return 0;
  return SilentSoundDevice::LoadSample(slot, path);
}

SoundHandle VirtualSoundDevice::OpenStream(const std::string& path) {
  const bool beatTrack = EndsWith(path, "BPM180.ogg");
  // The beat thread starts next, whether or not its track could be opened.
  if (beatTrack) {
    beatTrack_ = 0;
    playing_ = false;
    TheLockstep().TrackOpened(clock_.Now());
  }
  const auto source = StreamSource::Open(FileSource::Open(path), kMixRate);
  if (!source || source->LoopFrames() <= 0) return 0;
  const SoundHandle handle = SilentSoundDevice::OpenStream(path);
  if (beatTrack) {
    beatTrack_ = handle;
    loopMs_ = 1000.0 * static_cast<double>(source->LoopFrames()) / source->SourceRate();
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
  if (stream == 0) return -1;
  if (stream != beatTrack_ || !playing_) return kFarFromLoopStart;
  const double elapsedMs = (TheLockstep().BeatNow() - startedAt_) * 1000;
  return static_cast<int32_t>(std::fmod(elapsedMs, loopMs_));
}

void VirtualSoundDevice::StopStream(SoundHandle stream) {
  if (stream == beatTrack_) playing_ = false;
}

// Only the beat thread closes the beat track, as the last thing it does.
void VirtualSoundDevice::CloseStream(SoundHandle stream) {
  if (stream == beatTrack_) TheLockstep().ThreadEnding();
}

}  // namespace fenwhit::sim
