#pragma once
// A mixer-backed sound device rendered offline, with files made on the spot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/mixer_sound_device.h"
#include "audio/ogg_maker.h"
#include "support/scratch_dir.h"

namespace fenwhit::testing {

class MixerFixture : public ::testing::Test {
 protected:
  // Interleaved stereo frames.
  std::vector<int16_t> Render(int frames) { return Render(device_, frames); }
  static std::vector<int16_t> Render(MixerSoundDevice& device, int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2, -1);
    device.RenderOffline(out.data(), frames);
    return out;
  }
  std::string WriteOgg(const std::string& name, const std::vector<float>& interleaved, int channels,
                       int rate) {
    const std::string path = Scratch() + name;
    EXPECT_TRUE(WriteBytes(path, EncodeOgg(interleaved, channels, rate)));
    return path;
  }
  // A fresh folder for this test's files, removed after it.
  std::string Scratch() const { return scratch_.str() + "/"; }
  static bool AllZero(const std::vector<int16_t>& frames, size_t from = 0) {
    for (size_t i = from; i < frames.size(); ++i) {
      if (frames[i] != 0) return false;
    }
    return true;
  }
  // The first frame at which two renders differ, or -1; 0 when their lengths differ.
  static long FirstDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    if (a.size() != b.size()) return 0;
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i] != b[i]) return static_cast<long>(i / 2);
    }
    return -1;
  }

  ScratchDir scratch_;  // outlives the device, which may hold its files open
  MixerSoundDevice device_;
};

}  // namespace fenwhit::testing
