#include "events/pool_fixture.h"

namespace fenwhit {
namespace {

using BrickTest = PoolTest;

TEST_F(BrickTest, TwoBallsInOneBrickBothBounceAndScore400) {
  spawnBrick(600, 100, 10, 20, 30);
  // One leaves through the right side, the other through the bottom: one test each.
  Ball& first = PlaceBall(0, BallKind::Normal, 660, 116, -2, 0);
  Ball& second = PlaceBall(1, BallKind::Bogus, 630, 130, 0, -3);
  renderer.ClearCalls();
  updatePools();
  EXPECT_EQ(game.score, 400);
  EXPECT_EQ(first.vx, 2.0f);
  EXPECT_EQ(first.x, 670.0f);
  EXPECT_EQ(second.vy, 3.0f);
  EXPECT_EQ(second.y, 141.0f);
  EXPECT_EQ(bricks[0].alive, 0.0f);
  EXPECT_EQ(LiveIn(particles), 22);
  // Sparks from the brick's centre, one step out already.
  EXPECT_NEAR(particles[0].x, 632.0f, 1.0f);
  EXPECT_NEAR(particles[0].y, 116.0f, 1.0f);

  // Drawn once in its own colour before it broke, and never again.
  const auto sprites = renderer.CallsOf("sprite");
  ASSERT_FALSE(sprites.empty());
  EXPECT_EQ(sprites[0].ints, (std::vector<int>{600, 100}));
  EXPECT_EQ(renderer.CallsOf("color")[0].ints, (std::vector<int>{10, 20, 30, 255}));
  renderer.ClearCalls();
  PlaceBall(0, BallKind::Normal, 660, 116, -2, 0);
  updatePools();
  EXPECT_EQ(game.score, 400);
}

TEST_F(BrickTest, EveryBounceTestThatFiresScores) {
  spawnBrick(600, 100, 0, 0, 0);
  // Deep inside: turned twice sideways and once vertically.
  Ball& ball = PlaceBall(0, BallKind::Normal, 620, 110, -5, 3);
  updatePools();
  EXPECT_EQ(game.score, 600);
  EXPECT_EQ(ball.vx, -5.0f);
  EXPECT_EQ(ball.vy, -3.0f);
  EXPECT_EQ(LiveIn(particles), 33);
}

}  // namespace
}  // namespace fenwhit
