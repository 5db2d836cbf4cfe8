#pragma once
// The part of a picture that can change a pixel when drawn: the texels with some opacity,
// and the texels that filtering mixes with them. A fully transparent texel leaves the
// pixel under it as it was, blended either way, so a sprite drawn only over this part
// gives the same picture with fewer pixels blended. The round glows fill squares whose
// corners are transparent, and the xenon lights make them large.
#include <array>

namespace fenwhit {

struct Image;

// In texels: x to the right and y down from the picture's top left corner.
struct TexelPoint {
  float x, y;
};

// A convex polygon, its corners in order round the edge: at most eight, as it is bounded
// by the picture's edges and its two diagonals' directions.
struct SpriteOutline {
  std::array<TexelPoint, 8> corners{};
  int count = 0;  // none: no texel of the picture shows
  // The whole picture: nothing to leave out.
  bool Whole(float width, float height) const;
};

// The outline of the texels that show, and of everything a linear filter samples them
// from (the picture repeats beyond its edges, as OpenGL's default wrap has it). The whole
// picture when what shows reaches one of its edges.
SpriteOutline OutlineShowing(const Image& image);

}  // namespace fenwhit
