#pragma once
// Hands the beat thread one loop start of the beat track at a time, through the recording
// sound device's stream clock, and waits until it has counted it, so that every beat lands
// on a known frame.
#include <atomic>
#include <chrono>
#include <thread>

#include "audio/music.h"
#include "audio/recording_sound_device.h"

namespace fenwhit::testing {

// The count the next frame sees: the frame loop's, and the beats waiting to be taken.
inline int32_t BeatsSoFar() {
  return beatCount.load() + beatsCounted.load();
}

class BeatFeeder {
 public:
  explicit BeatFeeder(RecordingSoundDevice& sound) {
    sound.SetStreamClock([this](SoundHandle) {
      if (due_.exchange(false)) return 0;
      polledOutside_.store(true);
      return 1000;
    });
  }

  // False when the beat thread did not count it within ten seconds (a loaded machine).
  bool Deliver() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    // A loop start counts once: the thread must have seen the track leave the start of
    // the loop since the last one.
    while (!polledOutside_.exchange(false)) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const int32_t counted = beatsCounted.load();
    due_.store(true);
    while (beatsCounted.load() == counted) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

 private:
  std::atomic<bool> due_{false};
  std::atomic<bool> polledOutside_{false};
};

}  // namespace fenwhit::testing
