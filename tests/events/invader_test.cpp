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

TEST_F(InvaderTest, MarchesRightAndDrawsATriangle) {
  spawnInvader(-1200, 200);
  renderer.ClearCalls();
  for (int frame = 0; frame < 10; ++frame) updatePools();
  EXPECT_EQ(invaders[0].x, -1190.0f);
  EXPECT_EQ(invaders[0].y, 200.0f);
  const auto lines = renderer.CallsOf("line");
  ASSERT_EQ(lines.size(), 30u);
  EXPECT_EQ(lines[27].ints, (std::vector<int>{-1190, 200, -1190, 220}));
  EXPECT_EQ(lines[28].ints, (std::vector<int>{-1190, 220, -1180, 210}));
  EXPECT_EQ(lines[29].ints, (std::vector<int>{-1180, 210, -1190, 200}));
  EXPECT_EQ(renderer.CallsOf("color").back().ints, (std::vector<int>{255, 180, 120, 255}));
  // Behind the paddle line nothing stops it, not even a point below the bottom wall.
  spawnInvader(50, 900);
  updatePools();
  EXPECT_EQ(LiveIn(invaders), 2);
}

TEST_F(InvaderTest, ShotsFlyLeftUntilFarBehindThePaddles) {
  spawnShot(110, 100);
  spawnShot(-5990, 200);
  renderer.ClearCalls();
  updatePools();
  EXPECT_EQ(shots[0].x, 100.0f);
  EXPECT_EQ(shots[1].alive, 1.0f);
  updatePools();
  EXPECT_EQ(shots[1].alive, 0.0f);
  const auto lines = renderer.CallsOf("line");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].ints, (std::vector<int>{100, 100, 116, 100}));
  EXPECT_EQ(lines[0].floats[0], 3.0f);
}

}  // namespace
}  // namespace fenwhit
