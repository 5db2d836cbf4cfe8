#pragma once
// Lives, cancels and score above the arena. Draws only: the frame loop adds the score.

namespace fenwhit {

void drawHud();

}  // namespace fenwhit
