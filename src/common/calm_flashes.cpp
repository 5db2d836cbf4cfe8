#include "common/calm_flashes.h"

namespace fenwhit {

namespace {

// An eighth of the way a frame: about a quarter of the shake's reach, over a few frames.
constexpr double kCalmEase = 1.0 / 8;

ViewShake shownShake;

}  // namespace

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
