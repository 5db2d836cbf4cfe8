// Obstacles: growth, bounces on whole-number positions and crushing invaders.
#include "common/calm_flashes.h"
#include "events/pool_fixture.h"

namespace fenwhit {
namespace {

using ObstacleTest = PoolTest;

TEST_F(ObstacleTest, GrowsFromItsCornerOneUnitPerFrameAndStops) {
  spawnObstacle();
  obstacles[0] = Obstacle{1, 200, 300, 2.5f, 4, 200, 300, 0, 0};
  game.bgColour[0] = 10;
  game.bgColour[1] = 20;
  game.bgColour[2] = 30;
  ShowBackdropColour(game.bgColour);  // as the frame's backdrop does before the pools
  for (int frame = 0; frame < 3; ++frame) updatePools();
  EXPECT_EQ(obstacles[0].right, 203.0f);  // 2.5 wide: three frames
  EXPECT_EQ(obstacles[0].bottom, 303.0f);
  for (int frame = 0; frame < 5; ++frame) updatePools();
  EXPECT_EQ(obstacles[0].right, 203.0f);
  EXPECT_EQ(obstacles[0].bottom, 304.0f);
  EXPECT_EQ(obstacles[0].left, 200.0f);
  EXPECT_EQ(obstacles[0].top, 300.0f);
  // Filled with the backdrop's colour.
  std::vector<int> fill;
  for (const DrawCall& call : renderer.Calls()) {
    if (call.op == "color") fill = call.ints;
    if (call.op == "fill_corners") break;
  }
  EXPECT_EQ(fill, (std::vector<int>{10, 20, 30, 255}));
  // When calm, they fade into an application's white with the backdrop.
  calmFlashes = true;
  game.bgColour[0] = game.bgColour[1] = game.bgColour[2] = 255;
  ShowBackdropColour(game.bgColour);
  renderer.ClearCalls();
  updatePools();
  calmFlashes = false;
  EXPECT_EQ(renderer.CallsOf("color").at(0).ints, (std::vector<int>{13, 23, 33, 255}));
}

TEST_F(ObstacleTest, BallStillInsideAfterTheSideTestsBouncesVerticallyWithItsEarlierVx) {
  addObstacle(100, 100, 300, 300);
  Ball& ball = PlaceBall(4, BallKind::Ghost, 200, 200, 3, 2);
  updatePools();
  // Right-moving test: turned and pushed left, still inside; then the down-moving test.
  EXPECT_EQ(ball.x, 189.0f);
  EXPECT_EQ(ball.y, 190.0f);
  EXPECT_EQ(ball.vx, 3.0f);
  EXPECT_EQ(ball.vy, -2.0f);
  EXPECT_EQ(Plays(sound::kBallWall), 1);  // the second is held back by the throttle
}

TEST_F(ObstacleTest, InsideMeansStrictlyInsideOnRoundedPositions) {
  addObstacle(100, 100, 300, 300);
  // 299.5 rounds to the edge (halves to even); 298.5 to 298, inside.
  Ball& edge = PlaceBall(0, BallKind::Normal, 299.5f, 200, -4, 0);
  Ball& in = PlaceBall(1, BallKind::Normal, 298.5f, 200, -4, 0);
  Ball& below = PlaceBall(2, BallKind::Normal, 200, 300.4f, 0, -4);
  updatePools();
  EXPECT_EQ(edge.vx, -4.0f);
  EXPECT_EQ(in.vx, 4.0f);
  EXPECT_EQ(in.x, 310.5f);
  EXPECT_EQ(below.vy, -4.0f);
}

TEST_F(ObstacleTest, NoWallSoundDuringTheEnding) {
  addObstacle(100, 100, 300, 300);
  game.lives = -1;
  Ball& ball = PlaceBall(0, BallKind::Normal, 295, 200, -4, 0);
  updatePools();
  EXPECT_EQ(ball.vx, 4.0f);
  EXPECT_EQ(Plays(sound::kBallWall), 0);
}

TEST_F(ObstacleTest, CrushedInvadersSparkButScoreNothing) {
  addObstacle(100, 100, 300, 300);
  spawnInvader(195, 150);  // its point (201, 156) is inside
  spawnInvader(294, 150);  // (300, 156) is on the edge
  updatePools();
  EXPECT_EQ(invaders[0].alive, 0.0f);
  EXPECT_EQ(invaders[1].alive, 1.0f);
  EXPECT_EQ(LiveIn(particles), 5);
  EXPECT_NEAR(particles[0].x, 189.0f, 1.0f);
  EXPECT_NEAR(particles[0].y, 144.0f, 1.0f);
  EXPECT_EQ(game.score, 0);
}

}  // namespace
}  // namespace fenwhit
