#pragma once
// Fitting the game's picture, whose shape is the screen mode's, into a window or screen
// of another size: scaled uniformly, centred, with bars on two sides.
#include <cstdint>

namespace fenwhit {

struct PixelSize {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const PixelSize&) const = default;
};

// x and y from the top-left corner.
struct PixelRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const PixelRect&) const = default;
};

// The largest rectangle of shape w x h inside the area, centred.
constexpr PixelRect Letterbox(int32_t w, int32_t h, int32_t areaW, int32_t areaH) {
  if (w <= 0 || h <= 0 || areaW <= 0 || areaH <= 0) return {0, 0, areaW, areaH};
  PixelRect rect{0, 0, areaW, areaH};
  // Integer products keep an exact fit exact.
  const int64_t across = static_cast<int64_t>(areaW) * h;
  const int64_t down = static_cast<int64_t>(areaH) * w;
  if (across < down) {
    rect.height = static_cast<int32_t>((across + w / 2) / w);
  } else if (down < across) {
    rect.width = static_cast<int32_t>((down + h / 2) / h);
  }
  rect.x = (areaW - rect.width) / 2;
  rect.y = (areaH - rect.height) / 2;
  return rect;
}

// w x h when it fits the bounds, else the largest size of the same shape that does.
constexpr PixelSize FitWithin(int32_t w, int32_t h, int32_t boundW, int32_t boundH) {
  if (boundW <= 0 || boundH <= 0 || (w <= boundW && h <= boundH)) return {w, h};
  const PixelRect rect = Letterbox(w, h, boundW, boundH);
  return {rect.width, rect.height};
}

}  // namespace fenwhit
