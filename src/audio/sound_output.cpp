#include "audio/sound_output.h"

#include "audio/mixer_sound_device.h"

namespace fenwhit {

std::unique_ptr<SoundDevice> OpenSoundOutput() {
  return std::make_unique<MixerSoundDevice>();
}

}  // namespace fenwhit
