// The wall of bricks: every bounce off a brick smashes it, but its rectangle holds
// for the rest of the frame, so each ball inside it that frame bounces and scores.
#include "events/ball_bounce.h"
#include "events/effect_pools.h"
#include "events/pool_passes.h"
#include "events/pool_records.h"
#include "game/game_state.h"
#include "game/scoring.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "gfx/sprites.h"

namespace fenwhit {

namespace {

constexpr int32_t kBrickWidth = 64;
constexpr int32_t kBrickHeight = 32;
constexpr int32_t kSmashSparks = 10;
constexpr int32_t kSmashPoints = 200;

void smashUnderBalls(int32_t slot) {
  const Brick& brick = bricks[slot];
  const OpenRect rect{snap(brick.x), snap(brick.y), snap(brick.x + kBrickWidth),
                      snap(brick.y + kBrickHeight)};
  const int32_t sparkX = snap(brick.x + kBrickWidth / 2);
  const int32_t sparkY = snap(brick.y + kBrickHeight / 2);
  const int32_t last = lastBallSlot();
  for (int32_t i = 0; i <= last; ++i) {
    if (!inside(rect, snappedBalls.x[i], snappedBalls.y[i])) continue;
    const int32_t fired = bounceOutOf(i, rect);
    for (int32_t k = 0; k < fired; ++k) {
      spawnSparks(sparkX, sparkY, kSmashSparks);
      bricks.release(slot);
      addScore(kSmashPoints);
    }
  }
}

}  // namespace

void spawnBrick(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue) {
  Brick* brick = bricks.take();
  if (brick == nullptr) return;
  brick->x = static_cast<float>(x);
  brick->y = static_cast<float>(y);
  brick->red = static_cast<float>(red);
  brick->green = static_cast<float>(green);
  brick->blue = static_cast<float>(blue);
}

void brickPass() {
  SetBlendAlpha();
  for (int32_t i = 0; i <= kPoolLast; ++i) {
    const Brick& brick = bricks[i];
    if (brick.alive == 0) continue;
    SetColor(snap(brick.red), snap(brick.green), snap(brick.blue), 255);
    DrawSprite(snap(brick.x), snap(brick.y), pictures.brick, 0.0f, 1.0f);
    smashUnderBalls(i);
  }
}

}  // namespace fenwhit
