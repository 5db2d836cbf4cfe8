#pragma once
// A silent sound device whose beat track plays on the simulation's virtual clock: its
// position runs from the moment it starts and loops with the track's own length.
// Samples and streams are decoded as the real device decodes them, so a missing or
// damaged file gives the null handle, as it would in the game.
#include <atomic>

#include "audio/silent_sound_device.h"
#include "platform/test_platform.h"

namespace fenwhit::sim {

class VirtualSoundDevice : public SilentSoundDevice {
 public:
  explicit VirtualSoundDevice(TestPlatform& clock) : clock_(clock) {}

  SoundHandle LoadSample(int slot, const std::string& path) override;
  SoundHandle OpenStream(const std::string& path) override;
  void PlayStream(int channel, SoundHandle stream) override;
  int32_t StreamTime(SoundHandle stream) override;
  void StopStream(SoundHandle stream) override;
  void CloseStream(SoundHandle stream) override;

 private:
  TestPlatform& clock_;
  std::atomic<SoundHandle> beatTrack_{0};
  std::atomic<double> startedAt_{0};
  std::atomic<double> loopMs_{1000};
  std::atomic<bool> playing_{false};
};

}  // namespace fenwhit::sim
