// Invaders: marching, leaving the arena, and meeting shots, balls and obstacles.
#include "events/pool_fixture.h"

namespace fenwhit {
namespace {

using InvaderTest = PoolTest;

TEST_F(InvaderTest, HitByAShotScores800AndSpendsTheShot) {
  spawnInvader(300, 300);  // at (301, 300) after its step
  spawnShot(320, 325);     // hit box: 301 < x < 321, 300 < y < 326
  spawnShot(321, 310);     // on the box's edge
  updatePools();
  EXPECT_EQ(game.score, 800);
  EXPECT_EQ(invaders[0].alive, 0.0f);
  EXPECT_EQ(shots[0].alive, 0.0f);
  EXPECT_EQ(shots[1].alive, 1.0f);
  EXPECT_EQ(shots[1].x, 311.0f);
  EXPECT_EQ(LiveIn(particles), 4);
  EXPECT_NEAR(particles[0].x, 301.0f, 1.0f);
  EXPECT_EQ(Plays(sound::kMiniExplode), 1);
}

TEST_F(InvaderTest, HitByABallScores300AndLeavesTheBallAlone) {
  spawnInvader(300, 300);
  Ball& ball = PlaceBall(0, BallKind::Chaos, 330, 329, 2, 2);
  Ball& edge = PlaceBall(1, BallKind::Normal, 331, 310, 2, 2);
  updatePools();
  EXPECT_EQ(game.score, 300);
  EXPECT_EQ(invaders[0].alive, 0.0f);
  EXPECT_EQ(ball.vx, 2.0f);
  EXPECT_EQ(ball.x, 330.0f);
  EXPECT_EQ(edge.kind, BallKind::Normal);
}

TEST_F(InvaderTest, EveryTestRunsEvenAfterTheInvaderIsFreed) {
  spawnInvader(300, 300);
  spawnShot(310, 310);
  spawnShot(311, 311);
  PlaceBall(0, BallKind::Normal, 310, 310);
  PlaceBall(1, BallKind::Ghost, 315, 315);
  updatePools();
  EXPECT_EQ(game.score, 2 * 800 + 2 * 300);
  EXPECT_EQ(LiveIn(shots), 0);
  EXPECT_EQ(LiveIn(particles), 16);

  // Past the right wall and above the top one: both exits fire.
  spawnInvader(1170, 5);
  updatePools();
  EXPECT_EQ(LiveIn(invaders), 0);
  EXPECT_EQ(LiveIn(particles), 16 + 8);
}

TEST_F(InvaderTest, HitsAcrossColumnEdgesAndNoneFromDistantLookalikes) {
  // Its ball box, 29 < x < 59, straddles x = 32; 2048 further right is far away.
  spawnInvader(28, 300);
  PlaceBall(0, BallKind::Normal, 31, 310);
  PlaceBall(1, BallKind::Normal, 58, 320);
  PlaceBall(2, BallKind::Normal, 31 + 2048, 310);
  // Behind the paddle line, with a shot just inside its box and one 2048 further on.
  spawnInvader(-721, 500);
  spawnShot(-701, 510);
  spawnShot(-701 + 2048, 510);
  updatePools();
  EXPECT_EQ(game.score, 2 * 300 + 800);
  EXPECT_EQ(shots[0].alive, 0.0f);
  EXPECT_EQ(shots[1].alive, 1.0f);
}

TEST_F(InvaderTest, InvadersMarchRightAndShotsFlyLeftUntilFarBehind) {
  // Behind the paddle line nothing stops an invader, not even being below the bottom wall.
  spawnInvader(50, 900);
  spawnShot(110, 100);
  spawnShot(-5990, 200);
  updatePools();
  EXPECT_EQ(invaders[0].x, 51.0f);
  EXPECT_EQ(invaders[0].alive, 1.0f);
  EXPECT_EQ(shots[0].x, 100.0f);
  EXPECT_EQ(shots[1].alive, 1.0f);
  updatePools();
  EXPECT_EQ(shots[1].alive, 0.0f);
}

}  // namespace
}  // namespace fenwhit
