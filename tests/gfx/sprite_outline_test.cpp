// The outline of what a picture shows must hold every point where a filtered sample can
// take colour from a texel that is not fully transparent, and may leave out the rest.
#include "gfx/sprite_outline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "image/png.h"

namespace fenwhit {
namespace {

Image Picture(int width, int height, const std::function<bool(int, int)>& shows) {
  Image image{width, height, PixelVector(static_cast<size_t>(width) * height)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.pixels[static_cast<size_t>(y) * width + x] = shows(x, y) ? 0x80FFFFFFu : 0x00FFFFFFu;
    }
  }
  return image;
}

// Inside or on the edge of a convex polygon, whichever way round its corners run.
bool Inside(const SpriteOutline& outline, float x, float y) {
  int sign = 0;
  for (int i = 0; i < outline.count; ++i) {
    const TexelPoint& a = outline.corners[i];
    const TexelPoint& b = outline.corners[(i + 1) % outline.count];
    const float cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
    if (cross == 0) continue;
    const int side = cross > 0 ? 1 : -1;
    if (sign != 0 && side != sign) return false;
    sign = side;
  }
  return true;
}

double Area(const SpriteOutline& outline) {
  double twice = 0;
  for (int i = 0; i < outline.count; ++i) {
    const TexelPoint& a = outline.corners[i];
    const TexelPoint& b = outline.corners[(i + 1) % outline.count];
    twice += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
  }
  return std::fabs(twice) / 2;
}

// Every sample point on a fine grid that a linear filter (the picture repeating beyond its
// edges) mixes from a showing texel lies in the outline.
void ExpectHoldsEverySampleThatShows(const Image& image) {
  const SpriteOutline outline = OutlineShowing(image);
  const int w = image.width;
  const int h = image.height;
  const auto shows = [&](int x, int y) {
    return (image.pixels[static_cast<size_t>((y + h) % h) * w + (x + w) % w] >> 24) != 0;
  };
  for (int j = 0; j <= 8 * h; ++j) {
    for (int i = 0; i <= 8 * w; ++i) {
      const float x = static_cast<float>(i) / 8;
      const float y = static_cast<float>(j) / 8;
      const int left = static_cast<int>(std::floor(x - 0.5f));
      const int top = static_cast<int>(std::floor(y - 0.5f));
      const bool mixed = shows(left, top) || shows(left + 1, top) || shows(left, top + 1) ||
                         shows(left + 1, top + 1);
      if (mixed) {
        ASSERT_TRUE(Inside(outline, x, y)) << "at (" << x << ", " << y << ")";
      }
    }
  }
}

TEST(SpriteOutline, HoldsWhatShowsAndLeavesOutTransparentCorners) {
  // A disc, like the glows' light: the outline is an octagon round it, well short of the
  // square.
  const Image disc =
      Picture(32, 32, [](int x, int y) { return std::hypot(x - 15.5, y - 15.5) < 14.0; });
  ExpectHoldsEverySampleThatShows(disc);
  const SpriteOutline round = OutlineShowing(disc);
  EXPECT_EQ(round.count, 8);
  EXPECT_LT(Area(round), 0.75 * 32 * 32);
  EXPECT_FALSE(round.Whole(32, 32));

  // A blob off the centre, and a diagonal bar: the outline hugs each.
  const Image blob =
      Picture(40, 24, [](int x, int y) { return x > 20 && x < 33 && y > 3 && y < 12; });
  ExpectHoldsEverySampleThatShows(blob);
  EXPECT_LT(Area(OutlineShowing(blob)), 0.2 * 40 * 24);
  const Image bar =
      Picture(24, 24, [](int x, int y) { return std::abs(x - y) < 2 && x > 3 && x < 20; });
  ExpectHoldsEverySampleThatShows(bar);
  EXPECT_LT(Area(OutlineShowing(bar)), 0.5 * 24 * 24);

  // A texel on an edge is mixed into samples beside the opposite edge too; and where
  // what shows reaches an edge, the picture's own edges are kept.
  const Image edge = Picture(16, 16, [](int x, int y) { return x == 0 && y == 7; });
  ExpectHoldsEverySampleThatShows(edge);
  EXPECT_TRUE(OutlineShowing(edge).Whole(16, 16));
  const Image corner = Picture(16, 16, [](int x, int y) { return x == 15 && y == 15; });
  ExpectHoldsEverySampleThatShows(corner);

  // Nothing shows, or everything does.
  EXPECT_EQ(OutlineShowing(Picture(8, 8, [](int, int) { return false; })).count, 0);
  EXPECT_TRUE(OutlineShowing(Picture(8, 6, [](int, int) { return true; })).Whole(8, 6));
}

}  // namespace
}  // namespace fenwhit
