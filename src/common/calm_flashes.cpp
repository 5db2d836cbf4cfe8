#include "common/calm_flashes.h"

#include <algorithm>

namespace fenwhit {

namespace {

// An eighth of the way a frame: about a quarter of the shake's reach, over a few frames.
constexpr double kCalmEase = 1.0 / 8;

// A brighter backdrop is reached this much a frame when calm: white over 85 frames.
constexpr int32_t kCalmRise = 3;

int32_t shownColour[3] = {128, 128, 128};
ViewShake shownShake;

}  // namespace

void ShowBackdropColour(const int32_t (&colour)[3]) {
  const bool calm = calmFlashes.load(std::memory_order_relaxed);
  for (int k = 0; k < 3; ++k) {
    const bool rises = colour[k] > shownColour[k];
    shownColour[k] = calm && rises ? std::min(colour[k], shownColour[k] + kCalmRise) : colour[k];
  }
}

int32_t ShownBackdropColour(int k) {
  return shownColour[k];
}

ViewShake ShownViewShake(ViewShake shake) {
  if (!calmFlashes.load(std::memory_order_relaxed)) {
    shownShake = shake;
    return shake;
  }
  shownShake.zoom += (shake.zoom - shownShake.zoom) * kCalmEase;
  shownShake.turn += static_cast<float>((shake.turn - shownShake.turn) * kCalmEase);
  return shownShake;
}

}  // namespace fenwhit
