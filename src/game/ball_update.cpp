// The per-frame motion and collisions of the ball pool. Every reflection is decided
// by position alone, so a ball outside a wall is turned back in every frame it stays
// outside and pushed back by a fixed amount.
#include "audio/sound_bank.h"
#include "audio/sound_ids.h"
#include "events/effect_pools.h"
#include "game/balls.h"
#include "game/game_state.h"
#include "game/random.h"
#include "game/rounding.h"

namespace fenwhit {

namespace {

constexpr float kFarAway = 12000;

void wallSound(const Ball& ball) {
  if (game.lives >= 0 && ball.x > 0 && ball.x < 1400) {
    PlaySoundPanned(sound::kBallWall, RoundEven(ball.x));
  }
}

void leaveTrail(const Ball& ball) {
  const int32_t x = RoundEven(ball.x);
  const int32_t y = RoundEven(ball.y);
  switch (ball.kind) {
    case BallKind::Normal:
    case BallKind::Bogus:
      spawnSparks(x, y, 0);
      break;
    case BallKind::Ghost:
      spawnGhostTrail(x, y, 0);
      break;
    case BallKind::Chaos:
      spawnChaosTrail(x, y, 2);
      break;
    case BallKind::Free:
      break;
  }
}

void bounceOffWalls(Ball& ball, float left, float right, float top, float bottom) {
  // Escaped past a wall corner: sent back towards the paddle side.
  if (ball.y < top - 16 && ball.x > left) {
    ball.vx = -ball.vx;
    ball.x -= 12;
  }
  if (ball.x > left && ball.y > bottom + 16) {
    ball.vx = -ball.vx;
    ball.x -= 12;
  }
  if (ball.x > right) {
    ball.vx = -ball.vx;
    ball.x -= 4;
    wallSound(ball);
  }
  if (ball.x > left && ball.y < top) {
    ball.vy = -ball.vy;
    ball.y += 4;
    wallSound(ball);
  }
  if (ball.y > bottom && ball.x > left) {
    ball.vy = -ball.vy;
    ball.y -= 4;
    wallSound(ball);
  }
}

// The paddle zone reaches 12 beyond each end and 24 right of the paddle line; a hit
// puts the ball just past the zone so one pass cannot hit twice.
void bounceOffPaddle(Ball& ball, int32_t paddleY, float left) {
  const float top = static_cast<float>(paddleY) - 12;
  const float bottom = static_cast<float>(paddleY + game.paddleLength) + 12;
  if (!(ball.y > top && ball.y < bottom && ball.x > left && ball.x < left + 24)) return;
  ball.vx = -ball.vx;
  ball.x = left + 25;
  ball.vy = static_cast<float>(ball.vy + 0.4 * randomUnit() - 0.2);
  wallSound(ball);
  if (ball.kind == BallKind::Chaos) {
    ball.kind = BallKind::Free;
    if (game.lives >= 0) PlaySound(sound::kBallLost);
    game.lives -= 1;
  }
}

void updateBall(Ball& ball) {
  const float left = static_cast<float>(game.wallLeft);
  ball.x += ball.vx;
  ball.y += ball.vy;
  ball.angle += ball.spin;
  leaveTrail(ball);
  if (ball.angle < 0) ball.angle = 360;
  if (ball.angle > 360) ball.angle = 0;
  bounceOffWalls(ball, left, static_cast<float>(game.wallRight), static_cast<float>(game.wallTop),
                 static_cast<float>(game.wallBottom));
  bounceOffPaddle(ball, game.paddleY[0], left);
  if (game.twoPaddles == 1) bounceOffPaddle(ball, game.paddleY[1], left);
  // The lost-ball line is x = 0, well behind the paddles.
  if (ball.x < 0 && ball.kind == BallKind::Normal) {
    ball.kind = BallKind::Ghost;
    if (game.lives >= 0) PlaySoundThrottled(sound::kBallLost);
    game.lives -= 1;
  }
  if (ball.x < -kFarAway || ball.x > kFarAway || ball.y < -kFarAway || ball.y > kFarAway) {
    ball.kind = BallKind::Free;
  }
}

}  // namespace

void updateBalls() {
  for (int32_t i = 0; i <= game.ballLast; ++i) {
    if (balls[i].kind != BallKind::Free) updateBall(balls[i]);
  }
}

}  // namespace fenwhit
