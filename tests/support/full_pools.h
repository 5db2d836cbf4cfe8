#pragma once
// Every pool of a game in play full of entries spread over the arena (1601 balls, 1601
// particles, 1001 invaders, 1001 shots, 100 bricks, 50 obstacles), and a copy of what a
// frame changes, so the same worst frame can be run again and again.
#include <cstdint>

#include "events/effect_pools.h"
#include "events/pool_records.h"
#include "game/arena.h"
#include "game/backdrop.h"
#include "game/balls.h"
#include "game/game_state.h"
#include "game/random.h"
#include "ui/hud.h"

namespace fenwhit::testing {

inline int32_t RandomIn(int32_t low, int32_t high) {
  return low + static_cast<int32_t>((high - low) * randomUnit());
}

// What the game's frame draws and moves, in its order, without the pacing and input.
inline void DrawPoolFrame() {
  setViewTransform();
  drawBackdrop();
  drawArena();
  updateBalls();
  updatePools();
  drawBalls();
  drawHud();
}

inline void FillEveryPool() {
  for (int i = 0; i <= game.ballLast; ++i) spawnBall(RandomIn(200, 1100), RandomIn(50, 650));
  for (int i = 0; i < 50; ++i) {
    spawnObstacle();
    Obstacle& obstacle = obstacles[i];
    obstacle.right = obstacle.left + obstacle.width;
    obstacle.bottom = obstacle.top + obstacle.height;
    obstacle.grownWidth = obstacle.width;
    obstacle.grownHeight = obstacle.height;
  }
  for (int i = 0; i < 100; ++i) spawnBrick(600 + 64 * (i % 8), 100 + 32 * (i / 8), 200, 100, 50);
  for (int i = 0; i <= kPoolLast; ++i) {
    spawnInvader(RandomIn(120, 1150), RandomIn(20, 690));
    spawnShot(RandomIn(120, 1150), RandomIn(20, 690));
  }
  for (int i = 0; i <= particleLast; ++i) spawnSparks(RandomIn(120, 1150), RandomIn(20, 690), 0);
}

// Large: keep it in static storage.
class FrameSnapshot {
 public:
  void Take() {
    state_ = game;
    for (int i = 0; i < kBallPoolSize; ++i) balls_[i] = balls[i];
    obstacles_ = obstacles;
    bricks_ = bricks;
    invaders_ = invaders;
    shots_ = shots;
    particles_ = particles;
  }
  void Restore() const {
    game = state_;
    for (int i = 0; i < kBallPoolSize; ++i) balls[i] = balls_[i];
    obstacles = obstacles_;
    bricks = bricks_;
    invaders = invaders_;
    shots = shots_;
    particles = particles_;
  }

 private:
  GameState state_;
  Ball balls_[kBallPoolSize];
  decltype(obstacles) obstacles_;
  decltype(bricks) bricks_;
  decltype(invaders) invaders_;
  decltype(shots) shots_;
  decltype(particles) particles_;
};

}  // namespace fenwhit::testing
