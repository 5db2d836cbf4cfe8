#include "gfx/text.h"

#include "game/rounding.h"
#include "gfx/sprites.h"
#include "image/png.h"

namespace fenwhit {

namespace {

// advanceCut is how many pixels each glyph is pulled left per character index.
void DrawGlyphs(int32_t x, int32_t y, std::string_view text, float scale, const BitmapFont& font,
                int32_t advanceCut) {
  for (size_t i = 0; i < text.size(); ++i) {
    const int32_t index = static_cast<int32_t>(i);
    const uint8_t c = static_cast<uint8_t>(text[i]);
    const float start = static_cast<float>(x - advanceCut * index);
    const int32_t xi =
        RoundEven(start + static_cast<float>(font.cellWidth * index) * scale);
    DrawSpriteRegion(xi, y, (c & 15) * font.cellWidth, (c >> 4) * font.cellHeight,
                     font.cellWidth, font.cellHeight, font.texture, scale);
  }
}

}  // namespace

BitmapFont LoadFont(const std::string& fileName) {
  BitmapFont font;
  font.texture = CreateTexture(DecodePng(fileName), 1);
  font.cellWidth = 32;
  font.cellHeight = 64;
  return font;
}

void DrawText(int32_t x, int32_t y, std::string_view text, float scale, BitmapFont font) {
  DrawGlyphs(x, y, text, scale, font, 0);
}

void DrawTextCondensed(int32_t x, int32_t y, std::string_view text, float scale,
                       BitmapFont font) {
  DrawGlyphs(x, y, text, scale, font, 28);
}

}  // namespace fenwhit
