#include "game/backdrop.h"

#include <cmath>

#include "audio/music.h"
#include "common/calm_flashes.h"
#include "game/game_state.h"
#include "game/rounding.h"
#include "gfx/draw.h"

namespace fenwhit {

namespace {

constexpr int kLineReach = 14000;
constexpr int kLineEnd = 20000;
constexpr int kTintReach = 18000;
constexpr double kHalfTurn = 3.14;

// Running phases carried from one frame to the next (and between menu and game).
float runA = 0;
float runB = 0;
float runC = 0;
float runD = 0;

int32_t tintComponent(int k) {
  if (game.flashColours == 1) {
    return RoundEven(
        (ShownBeatFlash(beatFlash.load(std::memory_order_relaxed)) + ShownBackdropColour(k)) / 3.0);
  }
  return RoundEven(ShownBackdropColour(k) / 5.0);
}

}  // namespace

void drawWaveLines(int spacing, float width) {
  for (int k = 0; k < 4; ++k) game.wavePhase[k] += kHalfTurn / game.wavePeriod[k];
  const float amplitude = game.waveAmplitude;
  for (int x = -kLineReach; x <= kLineReach; x += spacing) {
    runA += kHalfTurn / game.wavePeriod[4];
    runC += kHalfTurn / game.wavePeriod[5];
    DrawLine(RoundEven(x + std::sin(runA) * amplitude), -kLineEnd,
             RoundEven(x + std::cos(runC) * amplitude), kLineEnd, width);
  }
  for (int y = -kLineReach; y <= kLineReach; y += spacing) {
    runB += kHalfTurn / game.wavePeriod[6];
    runD += kHalfTurn / game.wavePeriod[7];
    DrawLine(-kLineEnd, RoundEven(y + std::cos(runB) * amplitude), kLineEnd,
             RoundEven(y + std::sin(runD) * amplitude), width);
  }
  runA = game.wavePhase[0];
  runB = game.wavePhase[1];
  runC = game.wavePhase[2];
  runD = game.wavePhase[3];
}

void drawBackdrop() {
  ShowBackdropColour(game.bgColour);
  SetBlendAdditive();
  SetColor(tintComponent(0), tintComponent(1), tintComponent(2), 255);
  FillRectCorners(-kTintReach, -kTintReach, kTintReach, kTintReach);
  SetColor(RoundEven(ShownBackdropColour(0) / 3.0), RoundEven(ShownBackdropColour(1) / 3.0),
           RoundEven(ShownBackdropColour(2) / 3.0), 255);
  drawWaveLines(40, 5.0f);
}

}  // namespace fenwhit
