#pragma once
// Whether flashes are drawn calm, for players sensitive to them: the beat's flash of the
// backdrop and the glows is softened so that no large area changes its luminance by a
// tenth on every beat. Only the picture changes; the game plays the same.
#include <atomic>
#include <cstdint>

namespace fenwhit {

inline std::atomic<bool> calmFlashes{false};

// How brightly a beat flash of `flash` (0 to 255) is drawn.
inline int32_t ShownBeatFlash(int32_t flash) {
  return calmFlashes.load(std::memory_order_relaxed) ? flash / 8 : flash;
}

}  // namespace fenwhit
