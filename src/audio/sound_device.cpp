#include "audio/sound_device.h"

#include <cassert>

namespace fenwhit {

namespace {
SoundDevice* currentDevice = nullptr;
}

SoundDevice& TheSoundDevice() {
  assert(currentDevice != nullptr);
  return *currentDevice;
}

void SetSoundDevice(SoundDevice* device) { currentDevice = device; }

}  // namespace fenwhit
