#include "gfx/sprite_outline.h"

#include <algorithm>
#include <vector>

#include "gfx/convex_clip.h"
#include "image/png.h"

namespace fenwhit {

namespace {

struct Extremes {
  float low = 1e9f;
  float high = -1e9f;
  void Take(float value) {
    low = std::min(low, value);
    high = std::max(high, value);
  }
};

}  // namespace

bool SpriteOutline::Whole(float width, float height) const {
  if (count != 4) return false;
  for (const TexelPoint& corner : corners) {
    if (corner.x != 0 && corner.x != width) return false;
    if (corner.y != 0 && corner.y != height) return false;
  }
  return true;
}

SpriteOutline OutlineShowing(const Image& image) {
  const int w = image.width;
  const int h = image.height;
  SpriteOutline outline;
  if (w <= 0 || h <= 0) return outline;
  const auto shows = [&](int x, int y) {
    return (image.pixels[static_cast<size_t>((y + h) % h) * w + (x + w) % w] >> 24) != 0;
  };
  // A filtered sample between the centres of texels x, x + 1 and rows y, y + 1 mixes those
  // four texels only; it is transparent when all four are. Cell (x, y) is that square.
  Extremes across, down, sum, difference;
  const float fw = static_cast<float>(w);
  const float fh = static_cast<float>(h);
  for (int y = -1; y < h; ++y) {
    for (int x = -1; x < w; ++x) {
      if (!shows(x, y) && !shows(x + 1, y) && !shows(x, y + 1) && !shows(x + 1, y + 1)) continue;
      const float left = std::max(0.0f, static_cast<float>(x) + 0.5f);
      const float right = std::min(fw, static_cast<float>(x) + 1.5f);
      const float top = std::max(0.0f, static_cast<float>(y) + 0.5f);
      const float bottom = std::min(fh, static_cast<float>(y) + 1.5f);
      for (const TexelPoint p : {TexelPoint{left, top}, TexelPoint{right, top},
                                 TexelPoint{right, bottom}, TexelPoint{left, bottom}}) {
        across.Take(p.x);
        down.Take(p.y);
        sum.Take(p.x + p.y);
        difference.Take(p.x - p.y);
      }
    }
  }
  if (across.low > across.high) return outline;
  // Along an edge of the picture the sprite's quad has an edge of its own, and a shorter
  // one on the same line would take a hair's breadth otherwise when it is rasterised.
  const bool clear = across.low > 0 && across.high < fw && down.low > 0 && down.high < fh;
  if (!clear) {
    outline.count = 4;
    outline.corners = {{{0, 0}, {fw, 0}, {fw, fh}, {0, fh}}};
    return outline;
  }
  std::vector<TexelPoint> polygon = {{across.low, down.low},
                                     {across.high, down.low},
                                     {across.high, down.high},
                                     {across.low, down.high}};
  polygon = KeepBelow(polygon, 1, 1, sum.high);
  polygon = KeepBelow(polygon, -1, -1, -sum.low);
  polygon = KeepBelow(polygon, 1, -1, difference.high);
  polygon = KeepBelow(polygon, -1, 1, -difference.low);
  outline.count = static_cast<int>(std::min<size_t>(polygon.size(), outline.corners.size()));
  std::copy_n(polygon.begin(), outline.count, outline.corners.begin());
  return outline;
}

}  // namespace fenwhit
