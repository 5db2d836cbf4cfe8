#pragma once
// Obstacles and bricks turn balls back out of their rectangles by position alone.
#include <cstdint>

#include "events/snapped_points.h"

namespace fenwhit {

// Runs the four bounce tests of the ball in `slot` against `rect` (left-moving, right-
// moving, up-moving, down-moving), each on the position the earlier ones left, and
// plays the wall sound for each that fires. Returns how many fired.
int32_t bounceOutOf(int32_t slot, const OpenRect& rect);

}  // namespace fenwhit
