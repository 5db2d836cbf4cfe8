#pragma once
// The sound device the game runs on; Start(44100, 128) opens the output.
#include <memory>

#include "audio/sound_device.h"

namespace fenwhit {

std::unique_ptr<SoundDevice> OpenSoundOutput();

}  // namespace fenwhit
