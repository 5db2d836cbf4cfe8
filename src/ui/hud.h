#pragma once
// Lives, cancels and score above the arena, in the world view so they turn and jitter
// with it. Draws only: the frame loop adds the frame's score gain just before.

namespace fenwhit {

// Nothing is drawn once the game is over.
void drawHud();

}  // namespace fenwhit
