#pragma once
// Whether flashes are drawn calm, for players sensitive to them: the beat's flash of the
// backdrop and the glows is softened so that no large area changes its luminance by a
// tenth on every beat, the backdrop fades into a brighter colour instead of cutting to it,
// and a shaking view sways instead of jumping. Only the picture changes; the game plays
// the same.
#include <atomic>
#include <cstdint>

namespace fenwhit {

inline std::atomic<bool> calmFlashes{false};

// How brightly a beat flash of `flash` (0 to 255) is drawn.
inline int32_t ShownBeatFlash(int32_t flash) {
  return calmFlashes.load(std::memory_order_relaxed) ? flash / 8 : flash;
}

// The backdrop's colour as shown, taken once a frame from the game's: the same when full;
// when calm a brighter colour (an event's white flash) is reached a few steps a frame,
// slower than the game lets it settle again, so the flash stays faint. What is drawn in
// the backdrop's colour (the obstacles) takes the shown one too.
void ShowBackdropColour(const int32_t (&colour)[3]);
int32_t ShownBackdropColour(int k);

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
