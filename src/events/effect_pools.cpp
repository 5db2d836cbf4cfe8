#include "events/effect_pools.h"

#include "events/pool_passes.h"
#include "events/pool_records.h"
#include "events/snapped_points.h"
#include "game/game_state.h"

namespace fenwhit {

EffectPool<Obstacle, kPoolSlots, kPoolLast> obstacles;
EffectPool<Brick, kPoolSlots, kPoolLast> bricks;
EffectPool<Invader, kPoolSlots, kPoolLast> invaders;
EffectPool<Shot, kPoolSlots, kPoolLast> shots;
EffectPool<Particle, kParticleSlots, particleLast> particles;

void updatePools() {
  // The balls have moved for this frame; only bounces move them from here on.
  snapAllBalls();
  obstaclePass();
  brickPass();
  invaderPass();
  shotPass();
  particlePass();
}

void clearPools() {
  obstacles.clear();
  bricks.clear();
  invaders.clear();
  shots.clear();
  particles.clear();
}

}  // namespace fenwhit
