#include "events/snapped_points.h"

#include "game/game_state.h"
#include "game/rounding.h"

namespace fenwhit {

SnappedPoints snappedBalls;

namespace {
constexpr float kReach = 1e9f;
}

int32_t snap(float value) {
  // Written so that NaN ends at the lower bound too.
  if (!(value > -kReach)) value = -kReach;
  if (value > kReach) value = kReach;
  return RoundEven(value);
}

int32_t lastBallSlot() {
  const int32_t last = game.ballLast;
  if (last < 0) return -1;
  return last < kBallPoolSize ? last : kBallPoolSize - 1;
}

void snapBall(int32_t slot) {
  const Ball& ball = balls[slot];
  if (ball.kind == BallKind::Free) {
    snappedBalls.x[slot] = snappedBalls.y[slot] = kNowhere;
  } else {
    snappedBalls.x[slot] = snap(ball.x);
    snappedBalls.y[slot] = snap(ball.y);
  }
}

void snapAllBalls() {
  const int32_t last = lastBallSlot();
  for (int32_t i = 0; i <= last; ++i) snapBall(i);
}

}  // namespace fenwhit
