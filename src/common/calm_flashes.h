#pragma once
// Whether flashes are drawn calm, for players sensitive to them: the beat's flash of the
// backdrop and the glows is softened so that no large area changes its luminance by a
// tenth on every beat, the backdrop fades into a brighter colour instead of cutting to it,
// and a shaking view sways instead of jumping. Only the picture changes; the game plays
// the same.
#include <algorithm>
#include <atomic>
#include <cstdint>

namespace fenwhit {

inline std::atomic<bool> calmFlashes{false};

// How brightly a beat flash of `flash` (0 to 255) is drawn.
inline int32_t ShownBeatFlash(int32_t flash) {
  return calmFlashes.load(std::memory_order_relaxed) ? flash / 8 : flash;
}

// The backdrop's colour component shown this frame, for `colour` when the last frame
// showed `shown`: when calm a brighter colour (an event's white flash) is reached a few
// steps a frame, slower than the game lets it settle again, so the flash stays faint.
inline int32_t ShownBackdropColour(int32_t shown, int32_t colour) {
  constexpr int32_t kCalmRise = 3;
  if (!calmFlashes.load(std::memory_order_relaxed) || colour <= shown) return colour;
  return std::min(colour, shown + kCalmRise);
}

// How far the view is thrown off this frame: added to its zoom and its turn in degrees.
struct ViewShake {
  double zoom = 0;
  float turn = 0;
};

// The shake shown for this frame's random shake: the same when full; when calm, eased
// toward it from the last one shown, so the picture sways a little instead of jumping
// each frame (which makes every large bright thing flicker).
ViewShake ShownViewShake(ViewShake shake);

}  // namespace fenwhit
