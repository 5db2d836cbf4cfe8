// The autopilot's paddle steering on hand-placed balls, in a one-paddle arena at its
// start: walls 10 to 710, paddle line 110, a 160 paddle moving 18 a frame.
#include "autoplay/paddle_steering.h"

#include <gtest/gtest.h>

#include <vector>

namespace fenwhit {
namespace {

class SteeringTest : public ::testing::Test {
 protected:
  SteeringTest() {
    state.twoPaddles = 0;
    state.paddleY[0] = 280;  // centre 360
  }
  void Add(BallKind kind, float x, float y, float vx, float vy) {
    pool.push_back(Ball{kind, x, y, vx, vy, 0, 0});
  }
  Steer Decide(const SteerFor& how = {}) const { return SteerPaddle(state, pool, how); }

  GameState state;
  std::vector<Ball> pool;
};

TEST_F(SteeringTest, GoesWhereTheFirstArrivingNormalBallCrosses) {
  // The slow ball is nearer the line, the fast one gets there first, low down.
  Add(BallKind::Normal, 300, 100, -2, 0);
  Add(BallKind::Normal, 400, 600, -10, 0);
  EXPECT_EQ(Decide(), Steer::kDown);

  // Moving away, the fast one no longer counts.
  pool[1].vx = 10;
  EXPECT_EQ(Decide(), Steer::kUp);

  // Ghosts and bogus balls never cost a life.
  pool.clear();
  Add(BallKind::Ghost, 400, 600, -10, 0);
  Add(BallKind::Bogus, 400, 650, -10, 0);
  Add(BallKind::Normal, 900, 365, -10, 0);
  EXPECT_EQ(Decide(), Steer::kStay);

  // Heading up past the top, it comes off the top wall and crosses at 630.
  pool = {};
  Add(BallKind::Normal, 400, 200, -5, -15);
  EXPECT_EQ(Decide(), Steer::kDown);

  // Nothing coming: drift towards the normal ball nearest the line.
  pool = {};
  Add(BallKind::Normal, 900, 100, 5, 0);
  Add(BallKind::Normal, 500, 650, 5, 0);
  EXPECT_EQ(Decide(), Steer::kDown);
}

TEST_F(SteeringTest, SteersTheNamedPaddleWhereItsStepsWillHaveTakenIt) {
  // The second paddle of two, high up, goes down to a ball crossing at 365; the first
  // paddle, already there, is not the one asked about.
  state.twoPaddles = 1;
  state.paddleY[1] = 10;
  Add(BallKind::Normal, 900, 365, -10, 0);
  EXPECT_EQ(Decide({.paddle = 1}), Steer::kDown);
  EXPECT_EQ(Decide({.paddle = 0}), Steer::kStay);
  // Fifteen steps down already on their way bring it under the ball: no more.
  EXPECT_EQ(Decide({.paddle = 1, .pendingSteps = 15}), Steer::kStay);
  EXPECT_EQ(Decide({.paddle = 1, .pendingSteps = 18}), Steer::kUp);

  // Asked to miss, it goes to the end away from the crossing, and stays there.
  EXPECT_EQ(Decide({.paddle = 0, .miss = true}), Steer::kUp);
  pool[0].y = 200;
  EXPECT_EQ(Decide({.paddle = 0, .miss = true}), Steer::kDown);
  state.paddleY[0] = 550;
  EXPECT_EQ(Decide({.paddle = 0, .miss = true}), Steer::kStay);
}

TEST_F(SteeringTest, DodgesAChaosBallAndStillCatchesTheNormalOne) {
  // The normal ball crosses at the paddle's centre in 67 frames; a chaos ball crosses at
  // 400, inside the paddle's reach, in 7. Going up clears it and keeps the catch.
  Add(BallKind::Normal, 800, 360, -10, 0);
  Add(BallKind::Chaos, 200, 400, -10, 0);
  EXPECT_EQ(Decide(), Steer::kUp);

  // Crossing lower down, it misses the paddle anyway.
  pool[1].y = 600;
  EXPECT_EQ(Decide(), Steer::kStay);

  // Moving away, it never reaches the paddle.
  pool[1] = Ball{BallKind::Chaos, 200, 400, 10, 0, 0, 0};
  EXPECT_EQ(Decide(), Steer::kStay);

  // With no normal ball coming it still keeps clear.
  pool = {};
  Add(BallKind::Normal, 800, 360, 10, 0);
  Add(BallKind::Chaos, 200, 330, -10, 0);
  EXPECT_NE(Decide(), Steer::kStay);

  // Alongside the normal ball there is no dodging it without losing the ball: catch.
  pool = {};
  Add(BallKind::Normal, 400, 360, -10, 0);
  Add(BallKind::Chaos, 400, 365, -10, 0);
  EXPECT_EQ(Decide(), Steer::kStay);
}

}  // namespace
}  // namespace fenwhit
