#pragma once
// A player's song opened as a looping stream on the sound device, streamed from disk.
#include <string>

#include "audio/sound_device.h"

namespace fenwhit {

struct OpenedSong {
  SoundHandle stream = 0;  // 0 when the song cannot be played; `error` says why
  double seconds = 0.0;    // one play of the song
  std::string error;
};

OpenedSong OpenSong(SoundDevice& device, const std::string& path);

}  // namespace fenwhit
