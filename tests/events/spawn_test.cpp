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
  EXPECT_EQ(particles[11].x, 100.0f);
  EXPECT_EQ(particles[11].y, 200.0f);
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

}  // namespace
}  // namespace fenwhit
