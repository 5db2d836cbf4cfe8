#include "ui/hud.h"

#include <charconv>
#include <cstdint>
#include <string_view>

#include "game/game_state.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "gfx/text.h"

namespace fenwhit {

namespace {

constexpr std::string_view kLabels = " LIVES:                  CANCEL:              ";
constexpr std::string_view kScorePrefix = " SCORE: ";
constexpr std::string_view kScoreSuffix = "    ";
constexpr int32_t kMarkSpacing = 48;
constexpr float kLabelScale = 1.2f;
constexpr float kMarkScale = 2.0f;

// One mark per item left, kMarkSpacing apart.
void drawMarks(int32_t count, int32_t x, int32_t y, std::string_view mark) {
  for (int32_t i = 0; i < count; ++i) {
    DrawText(x + kMarkSpacing * i, y, mark, kMarkScale, pictures.font);
  }
}

void drawScore(int32_t x, int32_t y, int32_t score) {
  char line[32];
  char* end = line;
  for (char c : kScorePrefix) *end++ = c;
  end = std::to_chars(end, line + sizeof(line), score).ptr;
  for (char c : kScoreSuffix) *end++ = c;
  DrawText(x, y, std::string_view(line, static_cast<size_t>(end - line)), 1.0f, pictures.font);
}

}  // namespace

void drawHud() {
  const GameState& g = game;
  if (g.gameOver != 0) return;
  const int32_t* jitter = g.hudJitter;
  const int32_t top = g.wallTop;
  const int32_t left = g.wallLeft;
  SetBlendAdditive();
  SetColor(255, 255, 255, 255);
  DrawText(left + 30 + jitter[0], top - 110 + jitter[1], kLabels, kLabelScale, pictures.font);
  if (g.lives > 0) {
    SetColor(255, 20, 10, 255);
    drawMarks(g.lives, left + 310 + jitter[2], top - 110 + jitter[3], ")");
  }
  if (g.cancels > 0) {
    SetColor(75, 170, 255, 255);
    drawMarks(g.cancels, left + 1246 + jitter[0], top - 110 + jitter[3], "(");
  }
  SetColor(255, 255, 255, 255);
  drawScore(left + 30 + jitter[1], top - 66 + jitter[2], g.score);
}

}  // namespace fenwhit
