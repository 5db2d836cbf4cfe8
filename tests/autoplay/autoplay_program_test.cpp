// The autopilot through the real menu and game loops: it starts one-paddle games from
// the menu by itself, one after another; told to play one paddle of a two-paddle game,
// it leaves the menu alone and keeps the balls out with its own paddle.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "audio/music.h"
#include "autoplay/autopilot_platform.h"
#include "game/balls.h"
#include "game/game_state.h"
#include "support/paddle_seat.h"
#include "support/program_harness.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::PaddleSeat;
using testing::ProgramHarness;

TEST(Autoplay, StartsOnePaddleGameAfterOnePaddleGameFromTheMenu) {
  ProgramHarness harness;
  AutopilotPlatform pilot(harness.platform);
  menu.menuIndex = 5;  // left on a screen-mode item by an earlier visit
  std::vector<int> startPumps;
  std::vector<int> leavePumps;
  std::vector<int32_t> twoPaddles;
  int gameFrames = 0;
  harness.platform.SetScript([&](TestPlatform& p, int pump) {
    const bool inGame = BeatThreadRunning();
    if (inGame && startPumps.size() == leavePumps.size()) {
      startPumps.push_back(pump);
      twoPaddles.push_back(game.twoPaddles);
      gameFrames = 0;
    }
    if (!inGame && leavePumps.size() < startPumps.size()) leavePumps.push_back(pump);
    // A real Esc still ends the first game; the game goes back to the menu by itself.
    if (inGame && ++gameFrames == 20 && startPumps.size() == 1) p.Press(scan::kEsc);
    if (gameFrames == 21) p.Release(scan::kEsc);
    if (startPumps.size() == 2 || pump == 2000) p.RequestClose();
  });
  EXPECT_EQ(RunProgram(pilot, harness.renderer, harness.sound, harness.options), 0);

  ASSERT_EQ(startPumps.size(), 2u);
  ASSERT_EQ(leavePumps.size(), 1u);
  EXPECT_EQ(twoPaddles, (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(menu.menuIndex, 0);
  // Shown for a while, then five Up taps and Space.
  EXPECT_GE(startPumps[0], kAutopilotMenuWait);
  EXPECT_LT(startPumps[0], kAutopilotMenuWait + 15);
  EXPECT_LT(startPumps[1] - leavePumps[0], kAutopilotMenuWait + 5);
}

struct TwoPaddleRun {
  int startPump = -1;
  int32_t twoPaddles = -1;
  int32_t livesLost = 0;
  int lostAt = -1;  // the game frame that lost the first ball
  int returns = 0;  // balls sent back from the paddle line
  int ownMoves = 0;
  int otherMoves = 0;
};

// A two-paddle game asked for from outside the menu at pump 300, `frames` long, the
// autopilot playing `paddle` through a seat `delay` frames late; the other paddle is
// nobody's. No beats come, so no event changes anything, and the one ball is made fast.
TwoPaddleRun PlayOnePaddleOfTwo(int paddle, int delay, int frames) {
  ProgramHarness harness;
  AutopilotPlatform pilot(harness.platform);
  pilot.SteerPaddle(paddle, delay);
  PaddleSeat seat(pilot, paddle, delay);
  TwoPaddleRun run;
  int gameFrames = 0;
  int32_t last[2] = {};
  harness.Run(
      [&](TestPlatform& p, int pump) {
        if (!BeatThreadRunning()) {
          if (pump == 300) menu.requestedGame = 1;
          if (gameFrames > 0 || pump > 400) p.RequestClose();
          return;
        }
        if (++gameFrames == 1) {
          run.startPump = pump;
          run.twoPaddles = game.twoPaddles;
          balls[0] = Ball{BallKind::Normal, 1000, 300, -12, 9, 0, 0};
        } else {
          run.ownMoves += game.paddleY[paddle] != last[paddle];
          run.otherMoves += game.paddleY[1 - paddle] != last[1 - paddle];
        }
        for (int32_t i = 0; i <= game.ballLast; ++i) {
          // Where a paddle puts a ball it hits.
          run.returns += balls[i].kind == BallKind::Normal &&
                         balls[i].x == static_cast<float>(game.wallLeft + 25);
        }
        last[0] = game.paddleY[0];
        last[1] = game.paddleY[1];
        run.livesLost = 2 - game.lives;
        if (run.livesLost > 0 && run.lostAt < 0) run.lostAt = gameFrames;
        if (gameFrames == frames) p.RequestClose();
      },
      seat, harness.renderer);
  return run;
}

TEST(Autoplay, PlaysItsOwnPaddleOfATwoPaddleGameWithTheOnePaddleKeys) {
  // Both paddles, with the inputs of a network game on loopback and over a slow link.
  for (const int paddle : {0, 1}) {
    for (const int delay : {0, 3, 15}) {
      SCOPED_TRACE(::testing::Message() << "paddle " << paddle << ", delay " << delay);
      const TwoPaddleRun run = PlayOnePaddleOfTwo(paddle, delay, 4000);
      // Well past the time it would have started a game of its own.
      EXPECT_GT(run.startPump, 300);
      EXPECT_LT(run.startPump, 310);
      EXPECT_EQ(run.twoPaddles, 1);
      EXPECT_EQ(run.livesLost, 0);
      EXPECT_GE(run.returns, 10);
      // It moves to meet the ball, not back and forth while the keys are on their way.
      EXPECT_GT(run.ownMoves, 300);
      EXPECT_LT(run.ownMoves, 2000);
      EXPECT_EQ(run.otherMoves, 0);
    }
  }

  // Tests that want games short have it miss from some seconds in: the game soon ends.
  setenv("FENWHIT_TEST_AUTOPLAY_MISS_AFTER", "10", 1);
  const TwoPaddleRun run = PlayOnePaddleOfTwo(1, 3, 4000);
  unsetenv("FENWHIT_TEST_AUTOPLAY_MISS_AFTER");
  EXPECT_GT(run.lostAt, 600);
  EXPECT_LT(run.lostAt, 900);
}

}  // namespace
}  // namespace fenwhit
