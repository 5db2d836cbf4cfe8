// The arena over the backdrop: black masks hide the backdrop above, right of and below
// the arena, leaving it visible behind the paddle line and inside.
#include "game/arena.h"
#include "game/game_state.h"
#include "game/glows.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "gfx/sprites.h"

namespace fenwhit {

namespace {

constexpr int32_t kPaddleWidth = 20;
constexpr float kOutlineWidth = 4;
constexpr int32_t kMaskReach = 22000;
constexpr int32_t kLeftWallReach = 12000;

void drawMasks() {
  const GameState& g = game;
  SetBlendAlpha();
  SetColor(0, 0, 0, 255);
  FillRectCorners(g.wallLeft, g.wallTop, g.wallRight + kMaskReach, g.wallTop - kMaskReach);
  FillRectCorners(g.wallRight, g.wallTop, g.wallRight + kMaskReach, g.wallBottom);
  FillRectCorners(g.wallLeft, g.wallBottom, g.wallRight + kMaskReach, g.wallBottom + 18000);
  FillRect(g.wallLeft, g.paddleY[0], kPaddleWidth, g.paddleLength);
  if (g.twoPaddles == 1) FillRect(g.wallLeft, g.paddleY[1], kPaddleWidth, g.paddleLength);
}

void drawCorners() {
  SetBlendAdditive();
  SetColor(255, 255, 255, 255);
  DrawSprite(game.wallLeft - 16, game.wallTop - 18, pictures.corner, 0.0f, 1.0f);
  DrawSprite(game.wallLeft - 16, game.wallBottom - 16, pictures.corner, 90.0f, 1.0f);
}

// Four glows around the ends of a paddle.
void drawPaddleGlows(int32_t paddleY, float scale) {
  const int32_t left = game.wallLeft;
  const int32_t bottom = paddleY + game.paddleLength;
  drawGlow(left, paddleY, scale);
  drawGlow(left + 20, paddleY, scale);
  drawGlow(left + 20, bottom, scale);
  drawGlow(left, bottom, scale);
}

// Tinted by the beat, so they flash on every beat and fade out after it.
void drawGlows() {
  const GameState& g = game;
  setBeatTint();
  const float scale = static_cast<float>(g.glowScale + 1);
  drawCornerGlows(g.wallLeft, g.wallTop, g.wallRight, g.wallBottom, scale);
  drawPaddleGlows(g.paddleY[0], scale);
  if (g.twoPaddles == 1) drawPaddleGlows(g.paddleY[1], 1.0f);
}

void drawPaddle(int32_t paddleY) {
  const int32_t left = game.wallLeft;
  const int32_t right = left + kPaddleWidth;
  const int32_t bottom = paddleY + game.paddleLength;
  FillRectCorners(left, paddleY, right, bottom);
  drawRectOutline(left, paddleY, right, bottom, kOutlineWidth);
}

// Between the top and bottom walls the left side stays open: the paddles guard it.
void drawWalls() {
  const GameState& g = game;
  SetColor(255, 255, 255, 255);
  DrawLine(g.wallLeft, g.wallTop, g.wallRight, g.wallTop, kOutlineWidth);
  DrawLine(g.wallRight, g.wallTop, g.wallRight, g.wallBottom, kOutlineWidth);
  DrawLine(g.wallLeft, g.wallBottom, g.wallRight, g.wallBottom, kOutlineWidth);
  DrawLine(g.wallLeft, g.wallTop, g.wallLeft, -kLeftWallReach, kOutlineWidth);
  DrawLine(g.wallLeft, g.wallBottom, g.wallLeft, kLeftWallReach, kOutlineWidth);
}

}  // namespace

void drawArena() {
  drawMasks();
  drawCorners();
  drawGlows();
  SetColor(255, 20, 10, 255);
  drawPaddle(game.paddleY[0]);
  if (game.twoPaddles == 1) {
    SetColor(10, 255, 20, 255);
    drawPaddle(game.paddleY[1]);
  }
  drawWalls();
}

}  // namespace fenwhit
