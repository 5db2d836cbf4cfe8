#pragma once
// Where the scene, sprites, texture regions and rectangles put their corners: one description that
// the immediate and the batched renderer both follow, so they cannot drift apart.
#include <array>
#include <cstdint>

#include "gfx/texture.h"

namespace fenwhit {

// The steps applied on top of the scene transform, in this order: translate to the pivot,
// turn, scale, translate back by the half size. Then the corners are drawn.
struct QuadPlacement {
  float pivotX, pivotY;
  float angle;
  float scale;
  float halfW, halfH;
};

// Corners in drawing order, in the quad's own units, with their texture coordinates.
struct QuadCorners {
  std::array<int32_t, 4> x, y;
  std::array<float, 4> u, v;
};

struct PlacedQuad {
  QuadPlacement placement;
  QuadCorners corners;
};

// The scene transform's steps: translate to the shifted scene centre, turn, scale,
// translate back (and onto the near edge of the depth range, where it is still drawn).
struct ScenePlacement {
  float centreX, centreY;
  float angle;
  float scaleX, scaleY;
  float backX, backY, backZ;
};

ScenePlacement PlaceScene(float angle, float scaleX, float scaleY, int32_t dx, int32_t dy);

// Callers skip textures made from no image.
PlacedQuad PlaceSprite(int32_t x, int32_t y, const Texture& texture, float angle, float scale);
PlacedQuad PlaceRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w, int32_t h,
                       const Texture& texture, float scale);

// Rectangle corners in drawing order: x0, y0, x1, y1, ...
std::array<float, 8> RectCorners(int32_t x, int32_t y, int32_t w, int32_t h);
std::array<float, 8> RectCornersBetween(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

}  // namespace fenwhit
