#pragma once
// A sound device that accepts every call and plays nothing.
#include <atomic>

#include "audio/sound_device.h"

namespace fenwhit {

class SilentSoundDevice : public SoundDevice {
 public:
  void Start(int, int) override {}
  SoundHandle LoadSample(int, const std::string&) override { return next_++; }
  void PlaySample(int, SoundHandle) override {}
  void SetPan(int, int) override {}
  void SetVolume(int, int) override {}
  void StopChannel(int) override {}
  SoundHandle OpenStream(const std::string&) override { return next_++; }
  void PlayStream(int, SoundHandle) override {}
  // Never near a loop start, so no beat is counted.
  int32_t StreamTime(SoundHandle) override { return 1000; }
  void StopStream(SoundHandle) override {}
  void CloseStream(SoundHandle) override {}

 private:
  std::atomic<SoundHandle> next_{1};
};

}  // namespace fenwhit
