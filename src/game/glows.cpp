#include "game/glows.h"

#include "audio/music.h"
#include "common/calm_flashes.h"
#include "game/random.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "gfx/sprites.h"

namespace fenwhit {

namespace {
constexpr int32_t kGlowHalf = 32;
}

void drawRectOutline(int32_t left, int32_t top, int32_t right, int32_t bottom, float width) {
  DrawLine(left, top, right, top, width);
  DrawLine(right, top, right, bottom, width);
  DrawLine(right, bottom, left, bottom, width);
  DrawLine(left, bottom, left, top, width);
}

void setBeatTint() {
  const int32_t flash = ShownBeatFlash(beatFlash.load(std::memory_order_relaxed));
  SetColor(flash, flash, flash, 255);
}

void drawGlow(int32_t x, int32_t y, float scale) {
  DrawSprite(x - kGlowHalf, y - kGlowHalf, pictures.light, static_cast<float>(360 * randomUnit()),
             scale);
}

void drawCornerGlows(int32_t left, int32_t top, int32_t right, int32_t bottom, float scale) {
  drawGlow(left, top, scale);
  drawGlow(right, top, scale);
  drawGlow(left, bottom, scale);
  drawGlow(right, bottom, scale);
}

}  // namespace fenwhit
