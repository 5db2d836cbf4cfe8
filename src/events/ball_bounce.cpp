#include "events/ball_bounce.h"

#include "audio/sound_bank.h"
#include "audio/sound_ids.h"
#include "game/balls.h"
#include "game/game_state.h"

namespace fenwhit {

namespace {

// The ball is pushed 8 units back and then one step of its new velocity.
constexpr float kPushBack = 8;

bool stillInside(int32_t slot, const OpenRect& rect) {
  return inside(rect, snappedBalls.x[slot], snappedBalls.y[slot]);
}

void moved(int32_t slot) {
  snapBall(slot);
  if (game.lives >= 0) PlaySoundPanned(sound::kBallWall, snappedBalls.x[slot]);
}

}  // namespace

int32_t bounceOutOf(int32_t slot, const OpenRect& rect) {
  if (!stillInside(slot, rect)) return 0;
  Ball& ball = balls[slot];
  const float vxBefore = ball.vx;
  int32_t fired = 0;
  if (ball.vx < 0 && stillInside(slot, rect)) {
    ball.vx = -ball.vx;
    ball.x += kPushBack;
    ball.x += ball.vx;
    moved(slot);
    ++fired;
  }
  if (ball.vx > 0 && stillInside(slot, rect)) {
    ball.vx = -ball.vx;
    ball.x -= kPushBack;
    ball.x += ball.vx;
    moved(slot);
    ++fired;
  }
  // A vertical bounce leaves with the horizontal speed the ball came in with, whatever
  // the horizontal tests did to it.
  if (ball.vy < 0 && stillInside(slot, rect)) {
    ball.vy = -ball.vy;
    ball.y += kPushBack;
    ball.y += ball.vy;
    ball.vx = vxBefore;
    moved(slot);
    ++fired;
  }
  if (ball.vy > 0 && stillInside(slot, rect)) {
    ball.vy = -ball.vy;
    ball.y -= kPushBack;
    ball.y += ball.vy;
    ball.vx = vxBefore;
    moved(slot);
    ++fired;
  }
  return fired;
}

}  // namespace fenwhit
