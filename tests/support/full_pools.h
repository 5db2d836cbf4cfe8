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
#include "support/frame_snapshot.h"
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

}  // namespace fenwhit::testing
