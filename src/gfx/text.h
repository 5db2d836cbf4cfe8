#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/texture.h"

namespace fenwhit {

// A 16 x 16 grid of glyph cells, one per byte value.
struct BitmapFont {
  Texture texture;
  int32_t cellWidth = 32;
  int32_t cellHeight = 64;
};

BitmapFont LoadFont(const std::string& fileName);
void DrawText(int32_t x, int32_t y, std::string_view text, float scale, BitmapFont font);
// Neighbouring glyphs overlap by 28 pixels.
void DrawTextCondensed(int32_t x, int32_t y, std::string_view text, float scale,
                       BitmapFont font);

}  // namespace fenwhit
