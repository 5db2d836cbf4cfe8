#include "game/balls.h"

#include <cmath>

#include "game/game_fixture.h"
#include "gfx/pictures.h"

namespace fenwhit {
namespace {

using BallsTest = GameTest;

TEST_F(BallsTest, NewNormalBallsHeadMostlyLeftAndNeverCreep) {
  game.ballSpeed = 7.0f;
  bool sawPositive = false;
  for (uint64_t seed = 1; seed <= 3000; ++seed) {
    seedRandom(seed);
    clearBalls();
    spawnBall(1130, 250);
    const Ball& ball = balls[0];
    ASSERT_EQ(ball.kind, BallKind::Normal);
    EXPECT_EQ(ball.x, 1130.0f);
    EXPECT_EQ(ball.y, 250.0f);
    for (float v : {ball.vx, ball.vy}) {
      EXPECT_GE(v, -10.0f);
      EXPECT_LT(v, 3.0f);
      if (v != 0) {
        EXPECT_GE(std::abs(v), 0.7f);
      }
      sawPositive = sawPositive || v > 0;
    }
    EXPECT_GE(ball.spin, -4.0f);
    EXPECT_LT(ball.spin, 4.0f);
    EXPECT_GE(ball.angle, 0.0f);
    EXPECT_LT(ball.angle, 360.0f);
  }
  EXPECT_TRUE(sawPositive);
}

TEST_F(BallsTest, FullPoolDropsSpawnsAndNeverTouchesTheSpareSlots) {
  for (int i = 0; i <= 1600; ++i) spawnBogusBall(500, 300);
  for (int i = 0; i <= 1600; ++i) ASSERT_EQ(balls[i].kind, BallKind::Bogus);
  spawnBall(500, 300);
  for (int i = 1601; i < kBallPoolSize; ++i) EXPECT_EQ(balls[i].kind, BallKind::Free);
  // A freed slot is the next one taken.
  balls[700].kind = BallKind::Free;
  spawnGhostBall(1, 2);
  EXPECT_EQ(balls[700].kind, BallKind::Ghost);
  EXPECT_EQ(balls[700].x, 1.0f);
}

TEST_F(BallsTest, PaddleBouncesBallJustPastItsZone) {
  game.paddleY[0] = 300;
  // Just inside the zone 12 above the paddle.
  Ball& ball = PlaceBall(0, BallKind::Normal, 130, 289, -10, 2);
  updateBalls();
  EXPECT_EQ(ball.vx, 10.0f);
  EXPECT_EQ(ball.x, 135.0f);
  EXPECT_GE(ball.vy, 1.8f);
  EXPECT_LT(ball.vy, 2.2f);
  EXPECT_EQ(Plays(sound::kBallWall), 1);

  // On the zone's edge: missed.
  Ball& edge = PlaceBall(1, BallKind::Normal, 130, 288, -10, 0);
  updateBalls();
  EXPECT_EQ(edge.vx, -10.0f);
}

TEST_F(BallsTest, FastBallJumpsOverThePaddleZone) {
  game.paddleY[0] = 300;
  Ball& ball = PlaceBall(0, BallKind::Normal, 135, 380, -25, 0);
  updateBalls();
  EXPECT_EQ(ball.x, 110.0f);
  EXPECT_EQ(ball.vx, -25.0f);
}

TEST_F(BallsTest, SecondPaddleOnlyInTwoPaddleMode) {
  game.paddleY[0] = 10;
  game.paddleY[1] = 500;
  game.twoPaddles = 0;
  Ball& ball = PlaceBall(0, BallKind::Normal, 125, 550, -5, 0);
  updateBalls();
  EXPECT_EQ(ball.vx, -5.0f);
  game.twoPaddles = 1;
  ball = Ball{BallKind::Normal, 125, 550, -5, 0, 0, 0};
  updateBalls();
  EXPECT_EQ(ball.vx, 5.0f);
}

TEST_F(BallsTest, EscapeAboveReversesBothComponentsInOneFrame) {
  Ball& ball = PlaceBall(0, BallKind::Normal, 498, -9, 2, -1);
  updateBalls();
  EXPECT_EQ(ball.vx, -2.0f);
  EXPECT_EQ(ball.x, 488.0f);
  EXPECT_EQ(ball.vy, 1.0f);
  EXPECT_EQ(ball.y, -6.0f);
}

TEST_F(BallsTest, WallsTurnBallsBackByPositionAlone) {
  // Outside the right wall while already heading back in: still reversed.
  Ball& right = PlaceBall(0, BallKind::Normal, 1180, 300, -1, 0);
  Ball& bottom = PlaceBall(1, BallKind::Normal, 600, 720, 0, 3);
  updateBalls();
  EXPECT_EQ(right.vx, 1.0f);
  EXPECT_EQ(right.x, 1175.0f);
  EXPECT_EQ(bottom.vy, -3.0f);
  EXPECT_EQ(bottom.y, 719.0f);
}

TEST_F(BallsTest, AngleWrapsAtBothEnds) {
  Ball& down = PlaceBall(0, BallKind::Normal, 600, 300);
  down.angle = 1;
  down.spin = -4;
  Ball& up = PlaceBall(1, BallKind::Normal, 600, 300);
  up.angle = 359;
  up.spin = 4;
  updateBalls();
  EXPECT_EQ(down.angle, 360.0f);
  EXPECT_EQ(up.angle, 0.0f);
  down.spin = 0;
  updateBalls();
  EXPECT_EQ(down.angle, 360.0f);
}

TEST_F(BallsTest, ChaosBallCostsALifeOnlyWhenAPaddleCatchesIt) {
  game.paddleY[0] = 300;
  Ball& caught = PlaceBall(0, BallKind::Chaos, 130, 350, -10, 0);
  Ball& passing = PlaceBall(1, BallKind::Chaos, 5, 350, -10, 0);
  updateBalls();
  EXPECT_EQ(caught.kind, BallKind::Free);
  EXPECT_EQ(passing.kind, BallKind::Chaos);
  EXPECT_EQ(game.lives, 1);
  EXPECT_EQ(Plays(sound::kBallLost), 1);
}

TEST_F(BallsTest, NormalBallIsLostOnlyBehindTheLineAtZero) {
  game.paddleY[0] = 10;
  Ball& ball = PlaceBall(0, BallKind::Normal, 60, 600, -60, 0);
  updateBalls();
  EXPECT_EQ(ball.kind, BallKind::Normal);
  EXPECT_EQ(game.lives, 2);
  ball.vx = -0.5f;
  updateBalls();
  EXPECT_EQ(ball.kind, BallKind::Ghost);
  EXPECT_EQ(game.lives, 1);
  EXPECT_EQ(Plays(sound::kBallLost), 1);
  // The ghost flies on until it is far away, then its slot is freed.
  ball.vx = -12000;
  updateBalls();
  EXPECT_EQ(ball.kind, BallKind::Free);
  EXPECT_EQ(game.lives, 1);
}

TEST_F(BallsTest, NoSoundsOnceTheGameIsLost) {
  game.lives = -1;
  PlaceBall(0, BallKind::Normal, 1180, 300, 1, 0);
  PlaceBall(1, BallKind::Normal, 1, 300, -2, 0);
  updateBalls();
  EXPECT_TRUE(audio.CallsOf("play").empty());
  EXPECT_EQ(game.lives, -2);
}

TEST_F(BallsTest, CountsNormalBallsAnywhereAndGhostsInTheArena) {
  PlaceBall(0, BallKind::Normal, -500, 300);
  PlaceBall(5, BallKind::Ghost, 111, 300);
  PlaceBall(6, BallKind::Ghost, 110, 300);
  PlaceBall(7, BallKind::Chaos, 500, 300);
  PlaceBall(1600, BallKind::Normal, 500, 300);
  PlaceBall(1601, BallKind::Normal, 500, 300);
  const BallCounts counts = countBalls();
  EXPECT_EQ(counts.normalBallCount, 2);
  EXPECT_EQ(counts.ghostsInArena, 1);
}

TEST_F(BallsTest, NormalBallsDrawnWithTheirSkin) {
  pictures.ball.name = 11;
  pictures.cow.name = 12;
  PlaceBall(0, BallKind::Normal, 100.5f, 200.4f);
  PlaceBall(1, BallKind::Ghost, 300, 300);
  game.ballScaleAdd = 0.4f;
  drawBalls();
  auto sprites = renderer.CallsOf("sprite");
  ASSERT_EQ(sprites.size(), 1u);
  EXPECT_EQ(sprites[0].textureName, 11u);
  EXPECT_EQ(sprites[0].ints, (std::vector<int>{84, 184}));
  EXPECT_FLOAT_EQ(sprites[0].floats[1], 1.4f);

  renderer.ClearCalls();
  game.ballSkin = 1;
  drawBalls();
  sprites = renderer.CallsOf("sprite");
  EXPECT_EQ(sprites[0].textureName, 12u);
  EXPECT_EQ(sprites[0].ints, (std::vector<int>{68, 168}));
  pictures.ball.name = pictures.cow.name = 0;
}

}  // namespace
}  // namespace fenwhit
