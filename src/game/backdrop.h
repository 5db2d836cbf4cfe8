#pragma once
// The world behind the arena: a tint over everything and a grid of wobbling lines.

namespace fenwhit {

// Tint quad, then the wave lines 40 apart and 5 wide.
void drawBackdrop();
// Advances the wave phases and draws the vertical and horizontal lines in the current
// colour, spacing apart, from -14000 to 14000. The main menu draws them wider apart.
void drawWaveLines(int spacing, float width);

}  // namespace fenwhit
