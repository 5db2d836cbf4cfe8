// The load test's log of beat flashes: one line for each frame presented with a flash
// brighter than the last frame's, on the steady clock, and nothing without the variable.
#include "calibration/flash_onset_log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "audio/music.h"
#include "platform/test_platform.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

TEST(FlashOnsetLog, NotesEachFrameThatStartsAFlashAsItIsPresented) {
  TestPlatform platform;
  unsetenv("FENWHIT_TEST_FLASH_LOG");
  EXPECT_EQ(FlashOnsetLog::FromEnvironment(platform), nullptr);

  testing::ScratchDir dir;
  const std::string path = (dir.path() / "flashes.txt").string();
  setenv("FENWHIT_TEST_FLASH_LOG", path.c_str(), 1);
  auto log = FlashOnsetLog::FromEnvironment(platform);
  unsetenv("FENWHIT_TEST_FLASH_LOG");
  ASSERT_NE(log, nullptr);
  const auto before = std::chrono::steady_clock::now().time_since_epoch();
  // Two beats, each fading over frames; the second comes before the first has faded.
  for (int flash : {0, 240, 225, 210, 195, 240, 225, 0, 0}) {
    beatFlash.store(flash);
    log->SwapBuffers();
  }
  beatFlash.store(0);
  const auto after = std::chrono::steady_clock::now().time_since_epoch();
  EXPECT_EQ(platform.Swaps(), 9);

  std::ifstream file(path);
  std::vector<long long> times;
  for (long long ns = 0; file >> ns;) times.push_back(ns);
  ASSERT_EQ(times.size(), 2u);
  EXPECT_GE(times[0], std::chrono::nanoseconds(before).count());
  EXPECT_LE(times[1], std::chrono::nanoseconds(after).count());
}

}  // namespace
}  // namespace fenwhit
