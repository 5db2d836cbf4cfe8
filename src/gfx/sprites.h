#pragma once
#include <cstdint>
#include <optional>

#include "gfx/texture.h"
#include "image/png.h"

namespace fenwhit {

// nearest: 0 smooth filtering, anything else pixel-exact.
Texture CreateTexture(const std::optional<Image>& image, int nearest);
// Top-left corner at (x, y); turned and scaled about the sprite's own centre.
void DrawSprite(int32_t x, int32_t y, const Texture& texture, float angle, float scale);
void DrawSpriteRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w, int32_t h,
                      const Texture& texture, float scale);

}  // namespace fenwhit
