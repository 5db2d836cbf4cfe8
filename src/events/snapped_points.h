#pragma once
// Every pool collision test works on whole numbers: points and rectangle corners are
// rounded (halves to even) and a point must lie strictly inside. The ball positions
// are rounded once per frame and kept up to date as bounces move the balls, so the
// tests against every obstacle, brick and invader compare integers only.
#include <cstdint>

#include "game/balls.h"

namespace fenwhit {

// Free slots sit here, below every rectangle.
inline constexpr int32_t kNowhere = INT32_MIN;

// Rounded, halves to even; kept within +-1e9 so sums of a few offsets cannot overflow.
int32_t snap(float value);

struct OpenRect {
  int32_t left, top, right, bottom;
};

// One branch for the caller instead of four: most points tested are outside, each
// side for a different reason, which branch prediction cannot learn.
inline bool inside(const OpenRect& rect, int32_t x, int32_t y) {
  return (rect.left < x) & (x < rect.right) & (rect.top < y) & (y < rect.bottom);
}

struct SnappedPoints {
  int32_t x[kBallPoolSize];
  int32_t y[kBallPoolSize];
};

extern SnappedPoints snappedBalls;

// Slots 0..ballLast; free balls go to kNowhere.
void snapAllBalls();
void snapBall(int32_t slot);
// ballLast kept within the pool.
int32_t lastBallSlot();

}  // namespace fenwhit
