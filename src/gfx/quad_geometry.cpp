#include "gfx/quad_geometry.h"

namespace fenwhit {

ScenePlacement PlaceScene(float angle, float scaleX, float scaleY, int32_t dx, int32_t dy) {
  return {static_cast<float>(dx) + 512.0f,
          static_cast<float>(dy) + 384.0f + 0.5f,
          angle,
          scaleX,
          scaleY,
          -512.0f,
          -384.0f,
          1.0f};
}

PlacedQuad PlaceSprite(int32_t x, int32_t y, const Texture& texture, float angle, float scale) {
  // Truncated halves: odd sizes turn about a point left of and above the true centre.
  const float halfW = static_cast<float>(texture.width / 2);
  const float halfH = static_cast<float>(texture.height / 2);
  const int32_t w = texture.width;
  const int32_t h = texture.height;
  return {{static_cast<float>(x) + halfW, static_cast<float>(y) + halfH + 0.5f, angle, scale, halfW,
           halfH},
          {{0, 0, w, w}, {0, h, h, 0}, {0.0f, 0.0f, 1.0f, 1.0f}, {0.0f, 1.0f, 1.0f, 0.0f}}};
}

PlacedQuad PlaceRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w, int32_t h,
                       const Texture& texture, float scale) {
  const float halfW = static_cast<float>(w / 2);
  const float halfH = static_cast<float>(h / 2);
  const float width = static_cast<float>(texture.width);
  const float height = static_cast<float>(texture.height);
  const float u0 = static_cast<float>(srcX) / width;
  const float v0 = static_cast<float>(srcY) / height;
  const float u1 = static_cast<float>(srcX + w) / width;
  const float v1 = static_cast<float>(srcY + h) / height;
  // Unlike whole sprites, regions get no half-pixel shift down.
  return {{static_cast<float>(x) + halfW, static_cast<float>(y) + halfH, 0.0f, scale, halfW, halfH},
          {{0, 0, w, w}, {0, h, h, 0}, {u0, u0, u1, u1}, {v0, v1, v1, v0}}};
}

std::array<float, 8> RectCorners(int32_t x, int32_t y, int32_t w, int32_t h) {
  const float left = static_cast<float>(x);
  const float top = static_cast<float>(y);
  const float right = static_cast<float>(x + w);
  const float bottom = static_cast<float>(y + h);
  return {left, top, left, bottom, right, bottom, right, top};
}

std::array<float, 8> RectCornersBetween(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const float left = static_cast<float>(x1);
  const float top = static_cast<float>(y1);
  const float right = static_cast<float>(x2);
  const float bottom = static_cast<float>(y2);
  return {left, top, right, top, right, bottom, left, bottom};
}

}  // namespace fenwhit
