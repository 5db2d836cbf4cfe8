#include "events/pool_fixture.h"

namespace fenwhit {
namespace {

using ParticleTest = PoolTest;

TEST_F(ParticleTest, ParticleStartingAt255Lives22Frames) {
  spawnChaosTrail(300, 300, 0);
  const Particle& particle = particles[0];
  const float vx = particle.vx;
  renderer.ClearCalls();
  for (int frame = 0; frame < 21; ++frame) updatePools();
  EXPECT_EQ(particle.alive, 1.0f);
  EXPECT_EQ(particle.red, 3.0f);
  EXPECT_NEAR(particle.x, 300 + 21 * vx, 1e-3);
  updatePools();
  EXPECT_EQ(particle.alive, 0.0f);
  // Its last frame is drawn black.
  EXPECT_EQ(renderer.CallsOf("color").back().ints, (std::vector<int>{0, 0, 0, 255}));
  updatePools();
  EXPECT_EQ(renderer.CallsOf("sprite").size(), 22u);
}

TEST_F(ParticleTest, OnlyAliveExactlyOneIsUpdatedAndDrawn) {
  spawnGhostTrail(300, 300, 0);
  particles[0].alive = 2;
  renderer.ClearCalls();
  updatePools();
  EXPECT_EQ(particles[0].blue, 255.0f);
  EXPECT_TRUE(renderer.CallsOf("sprite").empty());
}

}  // namespace
}  // namespace fenwhit
