// A recorded game watched as a viewer watches it: their keys and mouse held now and then
// change nothing of the game, and their Esc, held as a player holds it, leaves it.
#include <gtest/gtest.h>

#include "replay/replay_check.h"
#include "replay/replay_player.h"
#include "support/program_harness.h"
#include "support/recorded_game.h"

namespace fenwhit {
namespace {

using testing::ProgramHarness;

constexpr int kHeldFrames = 6;

ReplayOutcome Watch(const Replay& replay, TestPlatform::Script viewer, int& status) {
  ProgramHarness harness;
  ReplayPlayer player(harness.platform, ReplayPlayer::Mode::kWatch);
  harness.platform.SetScript(std::move(viewer));
  ReplayOutcome outcome;
  status =
      PlayRecordedGame(player, harness.renderer, harness.sound, harness.options, replay, outcome);
  return outcome;
}

TEST(ReplayWatch, TheViewersKeysAndMouseChangeNothingAndTheirEscLeaves) {
  const Replay replay = testing::RecordShortGame();
  ASSERT_GT(replay.frames.size(), 300u);
  const auto recorded = static_cast<int64_t>(replay.frames.size());

  // Every 40 frames the viewer holds the paddle, cancel and fire keys, then clicks and
  // moves the mouse: what they would do in a game of their own.
  int status = -1;
  const ReplayOutcome busy = Watch(
      replay,
      [](TestPlatform& p, int pump) {
        const int phase = pump % 40;
        if (phase == 10) {
          for (int key : {scan::kUp, scan::kSpace, scan::kZ, scan::kK}) p.Press(key);
        }
        if (phase == 10 + kHeldFrames) p.ReleaseAll();
        if (phase == 20) p.SetMouse({pump, pump / 2, 0, 1});
        if (phase == 25) p.SetMouse({pump, pump / 2, 0, 2});
        if (phase == 30) p.SetMouse({pump, pump / 2, 0, 0});
      },
      status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(busy.matches) << "frame " << busy.differsAt << ": " << busy.difference;
  EXPECT_EQ(busy.frames, recorded);
  EXPECT_EQ(busy.score, replay.finalScore);

  // Esc held from frame 100: the viewer leaves there, and what was watched matched.
  const ReplayOutcome left = Watch(
      replay,
      [](TestPlatform& p, int pump) {
        if (pump == 100) p.Press(scan::kEsc);
        if (pump == 100 + kHeldFrames) p.Release(scan::kEsc);
      },
      status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(left.matches) << "frame " << left.differsAt << ": " << left.difference;
  EXPECT_GE(left.frames, 100);
  EXPECT_LE(left.frames, 100 + kHeldFrames);
}

}  // namespace
}  // namespace fenwhit
