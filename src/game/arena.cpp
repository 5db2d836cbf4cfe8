#include "game/arena.h"

#include "app/display.h"
#include "common/calm_flashes.h"
#include "game/approach.h"
#include "game/game_state.h"
#include "game/random.h"
#include "gfx/draw.h"

namespace fenwhit {

namespace {

constexpr double kSmallestScale = 0.07;

void clampPaddle(int32_t& paddleY) {
  if (paddleY + game.paddleLength > game.wallBottom) paddleY = game.wallBottom - game.paddleLength;
  if (paddleY < game.wallTop) paddleY = game.wallTop;
}

}  // namespace

void approachTargets() {
  GameState& g = game;
  approach(g.zoom, g.zoomTarget, g.zoomStep);
  approach(g.wallTop, g.wallTopTarget, g.wallStep);
  approach(g.wallBottom, g.wallBottomTarget, g.wallStep);
  approach(g.wallLeft, g.wallLeftTarget, g.wallStep);
  approach(g.wallRight, g.wallRightTarget, g.wallStep);
  approach(g.paddleLength, g.paddleLengthTarget, 3);
  approach(g.tiltAngle, g.tiltTarget, g.tiltStep);
  approach(g.bgColour[0], g.bgColourTarget[0], 10);
  approach(g.bgColour[1], g.bgColourTarget[1], 10);
  // The wave only grows here; it is lowered by direct assignment.
  if (g.waveAmplitude < g.waveAmplitudeTarget) g.waveAmplitude += 1;
  approach(g.bgColour[2], g.bgColourTarget[2], 10);
  approach(g.squeezeX, g.squeezeXTarget, 0.05);
  approach(g.squeezeY, g.squeezeYTarget, 0.05);
  for (int32_t& component : g.bgColour) {
    if (component < 0) component = 0;
  }
}

void clampPaddles() {
  clampPaddle(game.paddleY[0]);
  clampPaddle(game.paddleY[1]);
}

void setViewTransform() {
  ViewShake shake;
  if (game.viewJitter == 1) shake.zoom = 0.05 * randomUnit();
  if (game.viewJitter == 1) shake.turn = static_cast<float>(7 * randomUnit());
  shake = ShownViewShake(shake);
  double z = game.zoom + shake.zoom;
  if (z < kSmallestScale) z = kSmallestScale;
  float angle = game.spinAngle + game.tiltAngle;
  angle += shake.turn;
  SetSceneTransformXY(angle, static_cast<float>(z - game.squeezeX),
                      static_cast<float>(z - game.squeezeY), screenMode.viewOffsetX,
                      screenMode.viewOffsetY);
}

void advanceSpin() {
  game.spinAngle += game.spinSpeed;
  if (game.spinAngle > 360) game.spinAngle = 0;
}

}  // namespace fenwhit
