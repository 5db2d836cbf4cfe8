#pragma once
// The keys and mouse buttons of a game frame. Each key is looked at once per frame.
#include <cstdint>

namespace fenwhit {

// Space or the left button alone refuses the pending event ("NO WAY!"); holding it
// uses one cancel until it is let go.
void cancelEvent(int32_t mouseButtons);
// Esc ends a running game; the ending then lasts 100 frames.
void readEscape();
// Paddle movement and fire for the one- or two-paddle layout.
void readPaddleInput(int32_t mouseButtons);

}  // namespace fenwhit
