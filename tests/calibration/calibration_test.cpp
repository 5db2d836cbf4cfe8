// The calibration through the real program: C in the menu plays the beat track, presses on
// its kicks are set against the kicks as the game reckons it hears them (the output's
// latency and the offset in force), and their median becomes the offset at once and in the
// settings; Esc leaves without saving, too few presses save nothing, and the keys that
// closed the screen never reach the menu.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "audio/music.h"
#include "audio/sound_ids.h"
#include "calibration/calibration_drawing.h"
#include "calibration/calibration_platform.h"
#include "calibration/kick_presses.h"
#include "gfx/overlay_renderer.h"
#include "support/player_steps.h"
#include "support/program_harness.h"
#include "support/text_drawn.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::Do;
using testing::Hold;
using testing::Player;
using testing::WaitFor;

constexpr int kLatencyMs = 30;

class CalibrationRig {
 public:
  CalibrationRig() {
    SetAvOffsetMs(0);
    harness.sound.SetOutputLatencyMs(kLatencyMs);
    // Each stream plays from when it is first asked about, on the virtual clock.
    harness.sound.SetSecondsPlayed([this](SoundHandle stream) {
      const auto [at, fresh] = started_.try_emplace(stream, harness.platform.Now());
      return harness.platform.Now() - at->second;
    });
  }
  ~CalibrationRig() { SetAvOffsetMs(0); }

  int Run(std::function<void(TestPlatform&)> act) {
    return harness.Run(
        [&](TestPlatform& p, int) {
          if (std::string drawn = testing::TextDrawn(harness.renderer); !drawn.empty()) {
            text = drawn;
          }
          harness.renderer.ClearCalls();
          act(p);
        },
        screen, frames);
  }

  // Where the sound heard now stands in the newest stream, as the game reckons it.
  double Heard() const {
    if (started_.empty()) return -1.0;
    return harness.platform.Now() - started_.rbegin()->second - (kLatencyMs + AvOffsetMs()) / 1e3;
  }

  bool Shows(const std::string& words) const { return text.find(words) != std::string::npos; }

  testing::ProgramHarness harness{true};
  std::string text;
  std::vector<int> remembered;

 private:
  std::map<SoundHandle, double> started_;

 public:
  OverlayRenderer frames{harness.renderer};
  CalibrationDrawing drawing{frames};
  CalibrationPlatform screen{harness.platform,
                             harness.sound,
                             {[] { return std::string("BPM180.ogg"); },
                              [this](const CalibrationView& view) { drawing.Show(view); },
                              [this](int ms) { remembered.push_back(ms); }}};
};

// A player on the kicks: for each (kick, seconds late) Space goes down that long after the
// kick is heard and stays down three pumps.
class Tapper {
 public:
  Tapper(const CalibrationRig& rig, std::vector<std::pair<int, double>> taps)
      : rig_(rig), taps_(std::move(taps)) {}

  void Act(TestPlatform& p) {
    if (held_ > 0 && --held_ == 0) p.Release(scan::kSpace);
    if (!rig_.screen.IsOpen() || next_ >= taps_.size() || held_ > 0) return;
    const auto [kick, late] = taps_[next_];
    if (rig_.Heard() < kick * kBeatTrackKickSeconds + late) return;
    p.Press(scan::kSpace);
    held_ = 3;
    ++next_;
  }
  bool Done() const { return next_ == taps_.size() && held_ == 0; }

 private:
  const CalibrationRig& rig_;
  std::vector<std::pair<int, double>> taps_;
  size_t next_ = 0;
  int held_ = 0;
};

std::vector<std::pair<int, double>> OnEveryKick(double late) {
  std::vector<std::pair<int, double>> taps;
  for (int kick = KickPresses::kLeadInKicks; kick < KickPresses::kLeadInKicks + KickPresses::kKicks;
       ++kick) {
    taps.emplace_back(kick, late);
  }
  return taps;
}

// Down from now on; Esc in the menu ends the program at once.
Player::Step Press(int key) {
  return Do([key](TestPlatform& p) { p.Press(key); });
}

Player::Step TapAlong(Tapper& tapper) {
  return [&tapper](TestPlatform& p) {
    tapper.Act(p);
    return tapper.Done();
  };
}

int CountOf(const std::vector<SoundCall>& calls, int channel, int value) {
  int count = 0;
  for (const SoundCall& call : calls) count += call.channel == channel && call.value == value;
  return count;
}

TEST(Calibration, PressesOnTheKicksSaveTheirMedianAtOnceAndTheMenuGoesOn) {
  CalibrationRig rig;
  // 40 ms late on the kicks, two kicks missed, one press far early, one in the lead-in.
  std::vector<std::pair<int, double>> taps = {{2, 0.04}};
  for (const auto& tap : OnEveryKick(0.04)) {
    if (tap.first == 7 || tap.first == 12) continue;
    taps.emplace_back(tap.first, tap.first == 15 ? -0.1 : tap.second);
  }
  Tapper tapper(rig, taps);
  bool gameStarted = false;
  int32_t menuFramesAfter = 0;
  Player player;
  player.Then(WaitFor([] { return menu.menuFrames > 3; }))
      .Then(Hold(scan::kC, 3))
      .Then(TapAlong(tapper))
      .Then(WaitFor([&] { return rig.Shows("SAVED"); }))
      // Space closes the result, held long after: it must not start a game.
      .Then(Press(scan::kSpace))
      .Then(WaitFor([&] { return !rig.screen.IsOpen(); }))
      .Then([&](TestPlatform&) {
        menuFramesAfter = menu.menuFrames;
        return true;
      })
      .Then([&](TestPlatform& p) {
        gameStarted = gameStarted || BeatThreadRunning();
        if (menu.menuFrames < menuFramesAfter + 30) return false;
        p.Release(scan::kSpace);
        return true;
      })
      .Then(Press(scan::kEsc));

  EXPECT_EQ(rig.Run([&](TestPlatform& p) { player.Act(p); }), 0);
  ASSERT_TRUE(player.Finished()) << "stuck at step " << player.StepsDone();
  EXPECT_FALSE(gameStarted);
  // Pressed within a poll of 40 ms late; the median passes over the early press.
  ASSERT_EQ(rig.remembered.size(), 1u);
  EXPECT_GE(rig.remembered[0], 40);
  EXPECT_LE(rig.remembered[0], 40 + CalibrationPlatform::kPollMs + 1);
  EXPECT_EQ(AvOffsetMs(), rig.remembered[0]);
  // The beat track played alone and was closed; the title music came back.
  const auto opened = rig.harness.sound.CallsOf("open");
  ASSERT_EQ(opened.size(), 2u);  // the title music, then the track
  EXPECT_EQ(opened[1].path, "BPM180.ogg");
  ASSERT_EQ(rig.harness.sound.CallsOf("stream_close").size(), 1u);
  const auto volumes = rig.harness.sound.CallsOf("volume");
  EXPECT_EQ(CountOf(volumes, sound::kTitleMusicChannel, 0), 1);
  EXPECT_GT(volumes.back().value, 0);
}

TEST(Calibration, EscSavesNothingTooFewPressesSayTheyAreTooFewAndTheOffsetStaysInItsRange) {
  CalibrationRig rig;
  SetAvOffsetMs(280);
  Tapper far(rig, OnEveryKick(0.06));
  Tapper left(rig, {{4, 0.0}, {5, 0.0}, {6, 0.0}});
  Tapper few(rig, {{4, 0.02}, {6, 0.02}, {9, 0.02}, {11, 0.02}, {19, 0.02}});
  int offsetAfterEsc = 0;
  int32_t menuFramesWithEsc = 0;
  std::string escapedText;
  Player player;
  player.Then(WaitFor([] { return menu.menuFrames > 3; }))
      .Then(Hold(scan::kC, 2))
      .Then(TapAlong(far))
      .Then(WaitFor([&] { return rig.Shows("SAVED"); }))
      .Then(Hold(scan::kEnter, 2))
      .Then(WaitFor([&] { return !rig.screen.IsOpen(); }))
      // Esc in the middle: nothing saved, and Esc held on does not leave the menu.
      .Then(Hold(scan::kC, 2))
      .Then(TapAlong(left))
      .Then(Press(scan::kEsc))
      .Then(WaitFor([&] { return !rig.screen.IsOpen(); }))
      .Then([&](TestPlatform&) {
        offsetAfterEsc = AvOffsetMs();
        menuFramesWithEsc = menu.menuFrames;
        return true;
      })
      .Then([&](TestPlatform& p) {
        if (menu.menuFrames < menuFramesWithEsc + 20) return false;
        p.Release(scan::kEsc);
        return true;
      })
      .Then(Hold(scan::kC, 2))
      .Then(TapAlong(few))
      .Then(WaitFor([&] { return rig.Shows("NOTHING SAVED"); }))
      .Then([&](TestPlatform&) {
        escapedText = rig.text;
        return true;
      })
      .Then(Hold(scan::kEsc, 2))
      .Then(WaitFor([&] { return !rig.screen.IsOpen(); }))
      .Then(Press(scan::kEsc));

  EXPECT_EQ(rig.Run([&](TestPlatform& p) { player.Act(p); }), 0);
  ASSERT_TRUE(player.Finished()) << "stuck at step " << player.StepsDone();
  // 280 in force and 60 ms later than that: held at the limit.
  EXPECT_EQ(rig.remembered, std::vector<int>{300});
  EXPECT_EQ(offsetAfterEsc, 300);
  EXPECT_EQ(AvOffsetMs(), 300);
  EXPECT_NE(escapedText.find("ONLY 5 PRESSES"), std::string::npos) << escapedText;
  // Every track opened was closed.
  EXPECT_EQ(rig.harness.sound.CallsOf("stream_close").size(), 3u);
}

// As the options screen opens it, over the menu it already covers: Esc leaves the
// calibration alone, and is not seen by the screen beneath while still held.
TEST(Calibration, OpenedFromAnotherScreenGivesThatScreenBackItsMenu) {
  TestPlatform platform;
  RecordingSoundDevice sound;
  sound.SetSecondsPlayed([&platform](SoundHandle) { return platform.Now(); });
  CalibrationPlatform screen(platform, sound, {[] { return std::string("BPM180.ogg"); }, {}, {}});
  platform.SetScript([](TestPlatform& p, int pump) {
    if (pump == 5) p.Press(scan::kEsc);
  });
  menu.covered = true;
  screen.Open();
  EXPECT_TRUE(menu.covered);
  menu.covered = false;
  EXPECT_FALSE(screen.IsOpen());
  EXPECT_FALSE(screen.KeyHeld(scan::kEsc));
  EXPECT_EQ(sound.CallsOf("stream_close").size(), 1u);
}

// Presses about half a kick late fall either side of the midpoint between kicks.
TEST(KickPresses, CountOncePerKickOfTheSixteenAndGatherAcrossTheMidpoint) {
  const double kick = kBeatTrackKickSeconds;
  KickPresses presses;
  const int first = KickPresses::kLeadInKicks;
  presses.Press((first - 1) * kick);  // the lead-in
  for (int i = 0; i < 7; ++i) presses.Press((first + i) * kick + 0.01);
  presses.Press((first + 1) * kick + 0.02);  // the same kick again
  EXPECT_EQ(presses.Presses(), 7);
  EXPECT_FALSE(presses.LateByMs());
  presses.Press((first + KickPresses::kKicks) * kick);  // past the last
  EXPECT_FALSE(presses.LateByMs());
  EXPECT_FALSE(presses.Over((first + KickPresses::kKicks - 1) * kick + 0.1));
  EXPECT_TRUE(presses.Over((first + KickPresses::kKicks) * kick - 0.1));

  KickPresses halfLate;
  for (int i = 0; i < 8; ++i) {
    halfLate.Press((first + 2 * i) * kick + (i % 2 == 0 ? 0.160 : 0.172));
  }
  // Read alone, the 172 ms presses are 161 ms early on the next kick.
  ASSERT_EQ(halfLate.Presses(), 8);
  EXPECT_EQ(halfLate.LateByMs(), std::optional<int>(166));
}

}  // namespace
}  // namespace fenwhit
