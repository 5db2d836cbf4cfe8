#include "game/balls.h"

#include "audio/sound_bank.h"
#include "audio/sound_ids.h"
#include "events/effect_pools.h"
#include "game/game_state.h"
#include "game/random.h"
#include "game/rounding.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "gfx/sprites.h"

namespace fenwhit {

Ball balls[kBallPoolSize];

namespace {

// Velocity component drawn from r * range - offset.
float randomComponent(float range, float offset) {
  return static_cast<float>(randomUnit() * range - offset);
}

// New normal balls are never slower than 0.7 per component, unless exactly still.
void applyMinimumSpeed(Ball& ball) {
  if (ball.vx > 0 && ball.vx < 0.7f) ball.vx = 0.7f;
  if (ball.vy > 0 && ball.vy < 0.7f) ball.vy = 0.7f;
  if (ball.vx < 0 && ball.vx > -0.7f) ball.vx = -0.7f;
  if (ball.vy < 0 && ball.vy > -0.7f) ball.vy = -0.7f;
}

Ball* freeSlot() {
  for (int32_t i = 0; i <= game.ballLast; ++i) {
    if (balls[i].kind == BallKind::Free) return &balls[i];
  }
  return nullptr;
}

// Fills a free slot with velocities from r * range - offset and a spin of r * spinRange
// - spinRange / 2; nullptr when the pool is full.
Ball* spawn(BallKind kind, int32_t x, int32_t y, float range, float offset, float spinRange) {
  Ball* ball = freeSlot();
  if (ball == nullptr) return nullptr;
  ball->kind = kind;
  ball->x = static_cast<float>(x);
  ball->y = static_cast<float>(y);
  ball->vx = randomComponent(range, offset);
  ball->vy = randomComponent(range, offset);
  ball->spin = randomComponent(spinRange, spinRange / 2);
  ball->angle = static_cast<float>(360 * randomUnit());
  return ball;
}

}  // namespace

void spawnBall(int32_t x, int32_t y) {
  const float s = game.ballSpeed;
  Ball* ball = spawn(BallKind::Normal, x, y, s + 6, s + 3, 8);
  if (ball != nullptr) applyMinimumSpeed(*ball);
}

void spawnBogusBall(int32_t x, int32_t y) {
  const float s = game.ballSpeed;
  spawn(BallKind::Bogus, x, y, 2 * s + 6, s + 3, 8);
}

void spawnGhostBall(int32_t x, int32_t y) {
  const float s = game.ballSpeed;
  spawn(BallKind::Ghost, x, y, 2 * s + 6, s + 3, 30);
}

void spawnChaosBall(int32_t x, int32_t y) {
  const float s = game.ballSpeed;
  spawn(BallKind::Chaos, x, y, 2 * s + 4, s + 2, 30);
}

BallCounts countBalls() {
  BallCounts counts;
  const float paddleLine = static_cast<float>(game.wallLeft);
  for (int32_t i = 0; i <= game.ballLast; ++i) {
    const Ball& ball = balls[i];
    if (ball.kind == BallKind::Normal) {
      ++counts.normalBallCount;
    } else if (ball.kind == BallKind::Ghost && ball.x > paddleLine) {
      ++counts.ghostsInArena;
    }
  }
  return counts;
}

void drawBalls() {
  SetBlendAlpha();
  SetColor(255, 255, 255, 255);
  const Texture* skins[] = {&pictures.ball, &pictures.cow, &pictures.chicken, &pictures.kromby};
  const int32_t skin = game.ballSkin >= 0 && game.ballSkin <= 3 ? game.ballSkin : 0;
  const Texture& texture = *skins[skin];
  // The metal ball is 32 across, the other pictures 64.
  const float half = skin == 0 ? 16.0f : 32.0f;
  const float scale = 1 + game.ballScaleAdd;
  for (int32_t i = 0; i <= game.ballLast; ++i) {
    const Ball& ball = balls[i];
    if (ball.kind != BallKind::Normal) continue;
    DrawSprite(RoundEven(ball.x - half), RoundEven(ball.y - half), texture, ball.angle, scale);
  }
}

void clearBalls() {
  for (Ball& ball : balls) ball = Ball{};
}

}  // namespace fenwhit
