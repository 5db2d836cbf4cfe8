#include "gfx/picture_bounds.h"

#include <algorithm>

namespace fenwhit {

bool BesidePicture(const ClipPosition* positions, int count, float margin) {
  const float edge = 1.0f + margin;
  bool left = true;
  bool right = true;
  bool below = true;
  bool above = true;
  for (int i = 0; i < count; ++i) {
    left = left && positions[i].x < -edge;
    right = right && positions[i].x > edge;
    below = below && positions[i].y < -edge;
    above = above && positions[i].y > edge;
  }
  return left || right || below || above;
}

SegmentSpan SpanInPicture(const ClipPosition& a, const ClipPosition& b, double marginX,
                          double marginY) {
  const double dx = static_cast<double>(b.x) - a.x;
  const double dy = static_cast<double>(b.y) - a.y;
  const double towards[4] = {-dx, dx, -dy, dy};
  const double room[4] = {a.x + 1.0 + marginX, 1.0 + marginX - a.x, a.y + 1.0 + marginY,
                          1.0 + marginY - a.y};
  SegmentSpan span{0.0, 1.0};
  for (int i = 0; i < 4; ++i) {
    if (towards[i] == 0.0) {
      if (room[i] < 0.0) return {1.0, 0.0};
      continue;
    }
    const double t = room[i] / towards[i];
    if (towards[i] < 0.0) {
      span.enter = std::max(span.enter, t);
    } else {
      span.leave = std::min(span.leave, t);
    }
  }
  return span;
}

bool CoversPicture(const ClipPosition* corners) {
  // A little beyond the corners, so an edge through the picture's border never counts.
  constexpr float kReach = 1.01f;
  const float square[4][2] = {
      {-kReach, -kReach}, {kReach, -kReach}, {kReach, kReach}, {-kReach, kReach}};
  int positive = 0;
  int negative = 0;
  for (int i = 0; i < 4; ++i) {
    const ClipPosition& a = corners[i];
    const ClipPosition& b = corners[(i + 1) % 4];
    for (const auto& p : square) {
      const double side = (static_cast<double>(b.x) - a.x) * (static_cast<double>(p[1]) - a.y) -
                          (static_cast<double>(b.y) - a.y) * (static_cast<double>(p[0]) - a.x);
      positive += side > 0;
      negative += side < 0;
    }
  }
  // Inside a convex quad, every corner of the square is on the same side of every edge.
  return positive == 16 || negative == 16;
}

}  // namespace fenwhit
