// Games recorded through the real program and its loops (scripted input, the virtual
// clock, beats handed over one at a time), then played again headless: they must come
// out the same, frame by frame, to the last point.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "audio/music.h"
#include "autoplay/autopilot_platform.h"
#include "game/game_state.h"
#include "gamepad/gamepad_platform.h"
#include "pause/pause_platform.h"
#include "replay/replay_check.h"
#include "replay/replay_recorder.h"
#include "support/beat_feeder.h"
#include "support/program_harness.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::BeatFeeder;
using testing::ProgramHarness;

// Not a divisor of the checksum stretch, so beats fall on every frame of it in turn.
constexpr int kFramesPerBeat = 19;

// Gamepads as a test script sets them.
class ScriptedPads final : public ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;
  GamepadState Gamepad(int slot) const override { return pads[slot]; }
  GamepadState pads[pad::kSlots] = {};
};

// The first frame from which moving frame `from`'s beats one frame later shows: the
// first checksum after it.
int64_t FirstCheckAfter(int64_t from) {
  return (from / kReplayChecksumEvery + 1) * kReplayChecksumEvery;
}

TEST(ReplayGame, AGameWithAPauseACancelAndADoubleEventPlaysAgainTheSame) {
  ProgramHarness harness;
  menu.menuIndex = 0;
  PausePlatform pause(
      harness.platform, harness.sound, [] {}, true);
  AutopilotPlatform autopilot(pause);
  std::vector<Replay> games;
  ReplayRecorder recorder(autopilot, "TESTER",
                          [&games](Replay&& game) { games.push_back(std::move(game)); });
  BeatFeeder feeder(harness.sound);
  int gameStart = -1;
  int frames = 0;
  int pausedFrom = -1;
  bool doubled = false;
  bool beatLost = false;
  int32_t fewestCancels = 99;
  const int status = harness.Run(
      [&](TestPlatform& p, int pump) {
        if (pump == 0) p.Press(scan::kSpace);
        if (pump == 1) p.Release(scan::kSpace);
        if (!BeatThreadRunning()) {
          if (gameStart >= 0) p.Press(scan::kEsc);  // back in the menu: leave
          return;
        }
        if (gameStart < 0) gameStart = pump;
        if (pause.Paused()) {
          // Held for 40 pumps, then resumed; nothing of it may reach the recording.
          if (pump - pausedFrom == 1) p.Release(scan::kP);
          if (pump - pausedFrom == 40) p.Press(scan::kP);
          return;
        }
        if (pausedFrom >= 0) p.Release(scan::kP);
        ++frames;
        if (game.gameOver == 0) fewestCancels = std::min(fewestCancels, game.cancels);
        doubled = doubled || game.doubleEvent == 4;
        if (frames == 600) {
          pausedFrom = pump;
          p.Press(scan::kP);
        }
        // A cancel while the fifth event's title is up.
        if (game.eventCount == 5 && game.announced == 1) p.Press(scan::kSpace);
        if (game.eventCount == 5 && game.announced == 0) p.Release(scan::kSpace);
        if (game.eventCount >= 14 && doubled) p.Press(scan::kEsc);
        if (frames % kFramesPerBeat == 0 && game.gameOver == 0) {
          beatLost = beatLost || !feeder.Deliver();
        }
      },
      recorder, harness.renderer);
  ASSERT_EQ(status, 0);
  ASSERT_FALSE(beatLost);
  ASSERT_EQ(games.size(), 1u);
  EXPECT_TRUE(doubled);
  EXPECT_EQ(fewestCancels, 1);
  const Replay& played = games[0];
  EXPECT_EQ(played.kind, 0);
  EXPECT_EQ(played.player, "TESTER");
  EXPECT_EQ(played.finalScore, game.lastScore);
  EXPECT_GT(played.finalScore, 0);
  // One frame before the first pump, one for every pump of the game but the paused ones.
  EXPECT_EQ(static_cast<int>(played.frames.size()), frames + 1);

  // Written and read back, it plays the same.
  std::string why;
  const std::optional<Replay> read = DecodeReplay(EncodeReplay(played), why);
  ASSERT_TRUE(read) << why;
  const ReplayOutcome same = CheckReplay(*read, harness.options);
  EXPECT_TRUE(same.matches) << "frame " << same.differsAt << ": " << same.difference;
  EXPECT_EQ(same.score, played.finalScore);
  EXPECT_EQ(same.frames, static_cast<int64_t>(played.frames.size()));

  // A beat taken one frame late is found at the first check after it.
  Replay late = played;
  size_t moved = 0;
  for (size_t k = 200; k + 1 < late.frames.size(); ++k) {
    if (late.frames[k].beats > 0 && FirstCheckAfter(static_cast<int64_t>(k)) - k <= 10) {
      moved = k;
      break;
    }
  }
  ASSERT_GT(moved, 0u);
  late.frames[moved + 1].beats += late.frames[moved].beats;
  late.frames[moved].beats = 0;
  const ReplayOutcome shifted = CheckReplay(late, harness.options);
  EXPECT_FALSE(shifted.matches);
  EXPECT_EQ(shifted.differsAt, FirstCheckAfter(static_cast<int64_t>(moved)));
}

TEST(ReplayGame, ATwoPaddleGameWithAGamepadPlaysAgainTheSame) {
  ProgramHarness harness;
  menu.menuIndex = 1;
  ScriptedPads pads(harness.platform);
  GamepadPlatform gamepads(pads);
  std::vector<Replay> games;
  ReplayRecorder recorder(gamepads, "TESTER",
                          [&games](Replay&& game) { games.push_back(std::move(game)); });
  BeatFeeder feeder(harness.sound);
  int frames = 0;
  bool started = false;
  int32_t lowest = 1 << 30;
  int32_t highest = -(1 << 30);
  const int status = harness.Run(
      [&](TestPlatform& p, int pump) {
        if (pump == 0) p.Press(scan::kSpace);
        if (pump == 1) p.Release(scan::kSpace);
        if (!BeatThreadRunning()) {
          if (started) p.Press(scan::kEsc);
          return;
        }
        started = true;
        ++frames;
        // The second gamepad holds the right paddle.
        pads.pads[0].connected = true;
        pads.pads[1].connected = true;
        pads.pads[1].held = (frames / 45) % 2 == 0 ? pad::kUp : pad::kDown;
        lowest = std::min(lowest, game.paddleY[1]);
        highest = std::max(highest, game.paddleY[1]);
        if (frames % kFramesPerBeat == 0) feeder.Deliver();
        // Left by closing the window, in the middle of play.
        if (frames == 900) p.RequestClose();
      },
      recorder, harness.renderer);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(games.size(), 1u);
  EXPECT_EQ(games[0].kind, 1);
  EXPECT_TRUE(games[0].frames.back().close);
  EXPECT_GT(highest - lowest, 100) << "the gamepad moved the second paddle";
  const ReplayOutcome same = CheckReplay(games[0], harness.options);
  EXPECT_TRUE(same.matches) << "frame " << same.differsAt << ": " << same.difference;
  EXPECT_EQ(same.frames, static_cast<int64_t>(games[0].frames.size()));
}

}  // namespace
}  // namespace fenwhit
