// Spawners take the lowest free slot and drop what does not fit.
#include "events/pool_fixture.h"

namespace fenwhit {
namespace {

using SpawnTest = PoolTest;

TEST_F(SpawnTest, FullPoolsDropNewEntriesAndNeverUseTheSpareSlots) {
  for (int i = 0; i < 1100; ++i) {
    spawnObstacle();
    addObstacle(1, 2, 3, 4);
    spawnBrick(i, 0, 1, 2, 3);
    spawnInvader(i, 5);
    spawnShot(i, 6);
  }
  for (int i = 0; i < 1700; ++i) spawnSparks(i, 0, 0);
  EXPECT_EQ(LiveIn(obstacles), 1001);
  EXPECT_EQ(LiveIn(bricks), 1001);
  EXPECT_EQ(LiveIn(invaders), 1001);
  EXPECT_EQ(LiveIn(shots), 1001);
  EXPECT_EQ(LiveIn(particles), 1601);
  // The last accepted spawns are the 1001st and the 1601st; the rest left no trace.
  EXPECT_EQ(bricks[1000].x, 1000.0f);
  EXPECT_EQ(shots[1000].x, 1000.0f);
  EXPECT_EQ(particles[1600].x, 1600.0f);
  for (int i = 1001; i < kPoolSlots; ++i) {
    EXPECT_EQ(obstacles[i].alive + bricks[i].alive + invaders[i].alive + shots[i].alive, 0);
  }
  for (int i = 1601; i < kParticleSlots; ++i) EXPECT_EQ(particles[i].alive, 0);
}

TEST_F(SpawnTest, FreedSlotsAreRefilledLowestFirst) {
  for (int i = 0; i < 10; ++i) spawnShot(i, 0);
  shots.release(7);
  shots.release(3);
  spawnShot(100, 0);
  spawnShot(101, 0);
  spawnShot(102, 0);
  EXPECT_EQ(shots[3].x, 100.0f);
  EXPECT_EQ(shots[7].x, 101.0f);
  EXPECT_EQ(shots[10].x, 102.0f);

  // A full pool that frees one slot takes exactly that slot next.
  for (int i = 0; i < 2000; ++i) spawnSparks(0, 0, 0);
  particles.release(1234);
  spawnChaosTrail(9, 9, 2);
  EXPECT_EQ(particles[1234].x, 9.0f);
  EXPECT_EQ(LiveIn(particles), 1601);
}

TEST_F(SpawnTest, SparksAndTrailsPlaceExtraPlusOneParticles) {
  spawnSparks(100, 200, 0);
  EXPECT_EQ(LiveIn(particles), 1);
  spawnSparks(100, 200, 10);
  EXPECT_EQ(LiveIn(particles), 12);
  spawnChaosTrail(100, 200, 2);
  EXPECT_EQ(LiveIn(particles), 15);

  for (int i = 0; i < 12; ++i) {
    const Particle& spark = particles[i];
    EXPECT_EQ(spark.x, 100.0f);
    EXPECT_EQ(spark.y, 200.0f);
    EXPECT_GE(spark.vx, -1.0f);
    EXPECT_LT(spark.vx, 1.0f);
    EXPECT_EQ(spark.red, 255.0f);
    EXPECT_GE(spark.green, 55.0f);
    EXPECT_LT(spark.green, 255.0f);
    EXPECT_EQ(spark.blue, 10.0f);
  }
  for (int i = 12; i < 15; ++i) {
    EXPECT_GE(particles[i].vy, -3.0f);
    EXPECT_LT(particles[i].vy, 3.0f);
    EXPECT_EQ(particles[i].green, 0.0f);
  }
}

TEST_F(SpawnTest, TrailsKeepTheAngleTheSlotLastHeld) {
  spawnSparks(0, 0, 0);
  const float angle = particles[0].angle;
  particles.release(0);
  spawnGhostTrail(5, 5, 0);
  EXPECT_EQ(particles[0].angle, angle);
  EXPECT_EQ(particles[0].red, 0.0f);
  EXPECT_EQ(particles[0].blue, 255.0f);
  // Ending a game frees the slots without wiping them.
  clearPools();
  spawnChaosTrail(5, 5, 0);
  EXPECT_EQ(particles[0].angle, angle);
}

TEST_F(SpawnTest, ObstaclesStartAsAPointAndAddedOnesAreFinished) {
  spawnObstacle();
  const Obstacle& grown = obstacles[0];
  EXPECT_EQ(grown.right, grown.left);
  EXPECT_EQ(grown.bottom, grown.top);
  EXPECT_EQ(grown.grownWidth, 0.0f);
  EXPECT_GE(grown.left, 160.0f);
  EXPECT_LT(grown.left, 160.0f + 970);
  EXPECT_GE(grown.width, 20.0f);
  EXPECT_LT(grown.width, 160.0f);

  addObstacle(-800, -4000, -100, 4000);
  const Obstacle& wall = obstacles[1];
  EXPECT_EQ(wall.right, -100.0f);
  EXPECT_EQ(wall.grownWidth, wall.width);
  EXPECT_EQ(wall.bottom, 4000.0f);
  EXPECT_EQ(wall.grownHeight, wall.height);
}

}  // namespace
}  // namespace fenwhit
