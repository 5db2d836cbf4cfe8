// The player's settings while the game runs: the volume keys, and every change the player
// makes written back at once (on the writer thread, never holding up a frame), but not a
// choice made for one run only.
#include "settings/settings_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "audio/recording_sound_device.h"
#include "keep/background_writer.h"
#include "platform/test_platform.h"
#include "support/scratch_dir.h"
#include "support/writer_gate.h"

namespace fenwhit {
namespace {

using testing::ScratchDir;
using testing::WriterGate;

TEST(SettingsPlatform, VolumeKeysStepAndEveryChangeIsKept) {
  ScratchDir home;
  const std::string path = home.str() + "/config/fenwhit/settings";
  SettingsFile file(path);
  Settings remembered;
  remembered.volume = 9;
  remembered.otherLines = {"later = kept"};
  int mode = 2;
  bool fullscreen = true;  // --fullscreen for this run, over the remembered window
  TestPlatform inner;
  RecordingSoundDevice sound;
  std::ostringstream err;
  BackgroundWriter writer;
  SettingsPlatform settings(inner, sound, file, writer, remembered,
                            {[&] { return mode; }, [&] { return fullscreen; }}, err);
  const auto masterLevels = [&] {
    std::vector<int> levels;
    for (const SoundCall& call : sound.CallsOf("master")) levels.push_back(call.value);
    return levels;
  };
  EXPECT_EQ(masterLevels(), std::vector<int>{9});

  // How this run started is no change: nothing is written.
  settings.PumpEvents();
  writer.Drain();
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_LT(settings.VolumeChangedAt(), 0.0);

  // Plus twice (main keyboard, then keypad): one step per press, held keys do not repeat,
  // and the top is 10.
  inner.Press(scan::kEquals);
  settings.PumpEvents();
  settings.PumpEvents();
  inner.Release(scan::kEquals);
  settings.PumpEvents();
  inner.Press(scan::kKeypadPlus);
  settings.PumpEvents();
  inner.Release(scan::kKeypadPlus);
  EXPECT_EQ(settings.Volume(), 10);
  EXPECT_GE(settings.VolumeChangedAt(), 0.0);
  for (int press = 0; press < 12; ++press) {
    inner.Press(press % 2 == 0 ? scan::kMinus : scan::kKeypadMinus);
    settings.PumpEvents();
    settings.PumpEvents();
    EXPECT_EQ(settings.Volume(), std::max(0, 9 - press)) << "held minus, press " << press;
    inner.ReleaseAll();
    settings.PumpEvents();
  }
  EXPECT_EQ(settings.Volume(), 0);
  const std::vector<int> levels = masterLevels();
  EXPECT_EQ(levels, (std::vector<int>{9, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));

  // The window chosen in the menu and leaving fullscreen are the player's changes, and so is
  // the address of a game joined.
  mode = 4;
  fullscreen = false;
  settings.PumpEvents();
  settings.RememberNetAddress("game.example:5030");
  writer.Drain();
  std::ostringstream readErr;
  const Settings kept = SettingsFile(path).Load(readErr);
  EXPECT_EQ(readErr.str(), "");
  EXPECT_EQ(kept.volume, 0);
  EXPECT_EQ(kept.screenMode, 4);
  EXPECT_FALSE(kept.fullscreen);
  EXPECT_EQ(kept.netAddress, "game.example:5030");
  EXPECT_EQ(kept.otherLines, remembered.otherLines);
  EXPECT_EQ(err.str(), "");

  // A disk that does not answer: the player taps plus, each tap held for a few frames, and
  // every step is heard at once while the file waits.
  WriterGate stuckDisk(writer);
  stuckDisk.AwaitReached();
  for (int tap = 0; tap < 6; ++tap) {
    inner.Press(scan::kEquals);
    for (int held = 0; held < 3; ++held) settings.PumpEvents();
    inner.ReleaseAll();
    for (int off = 0; off < 2; ++off) settings.PumpEvents();
  }
  EXPECT_EQ(settings.Volume(), 6);
  EXPECT_EQ(masterLevels().back(), 6);
  EXPECT_EQ(SettingsFile(path).Load(readErr).volume, 0) << "written on the frame thread";
  // Once the disk answers, the newest volume lands.
  stuckDisk.Open();
  writer.Drain();
  EXPECT_EQ(SettingsFile(path).Load(readErr).volume, 6);
  EXPECT_EQ(readErr.str(), "");
}

// Each volume key held as a player holds it, six frames, alone and with its pair: one step
// a press, both keys of a pair held together one step, minus and plus together none. A
// --fullscreen over a remembered window stays out of the file whatever else is written,
// nothing is written again while nothing changes, and F11 pressed before the first pump is
// the player's own change.
TEST(SettingsPlatform, KeysHeldForSeveralFramesStepOnceAndOnlyChangesAreWritten) {
  ScratchDir home;
  const std::string path = home.str() + "/settings";
  SettingsFile file(path);
  Settings remembered;
  remembered.volume = 3;
  remembered.screenMode = 2;
  TestPlatform inner;
  RecordingSoundDevice sound;
  std::ostringstream err;
  BackgroundWriter writer;
  SettingsPlatform settings(inner, sound, file, writer, remembered,
                            {[] { return 2; }, [] { return true; }}, err);
  settings.PumpEvents();
  const auto hold = [&](std::vector<int> keys) {
    for (int key : keys) inner.Press(key);
    for (int frame = 0; frame < 6; ++frame) settings.PumpEvents();
    inner.ReleaseAll();
    settings.PumpEvents();
  };
  hold({scan::kEquals});
  hold({scan::kKeypadPlus});
  hold({scan::kMinus});
  hold({scan::kKeypadMinus});
  hold({scan::kMinus});
  hold({scan::kEquals, scan::kKeypadPlus});
  hold({scan::kMinus, scan::kKeypadMinus});
  hold({scan::kMinus, scan::kEquals});
  std::vector<int> levels;
  for (const SoundCall& call : sound.CallsOf("master")) levels.push_back(call.value);
  EXPECT_EQ(levels, (std::vector<int>{3, 4, 5, 4, 3, 2, 3, 2}));

  writer.Drain();
  std::ostringstream readErr;
  const Settings kept = SettingsFile(path).Load(readErr);
  EXPECT_EQ(kept.volume, 2);
  EXPECT_EQ(kept.screenMode, 2);
  EXPECT_FALSE(kept.fullscreen) << "the choice for this run was kept";

  std::filesystem::remove(path);
  for (int frame = 0; frame < 10; ++frame) settings.PumpEvents();
  writer.Drain();
  EXPECT_FALSE(std::filesystem::exists(path)) << "written again without a change";

  // F11 pressed during the intro takes effect at the first pump: the player's, and kept.
  bool fullscreen = false;
  SettingsPlatform early(inner, sound, file, writer, remembered,
                         {[] { return 2; }, [&] { return fullscreen; }}, err);
  fullscreen = true;
  early.PumpEvents();
  writer.Drain();
  EXPECT_TRUE(SettingsFile(path).Load(readErr).fullscreen);
  std::filesystem::remove(path);
  for (int frame = 0; frame < 10; ++frame) early.PumpEvents();
  writer.Drain();
  EXPECT_FALSE(std::filesystem::exists(path)) << "the switch written again without a change";
  EXPECT_EQ(err.str() + readErr.str(), "");
}

}  // namespace
}  // namespace fenwhit
