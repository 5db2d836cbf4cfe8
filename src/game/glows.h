#pragma once
// Pieces the arena and the obstacles draw alike: outlines and beat-tinted glows.
#include <cstdint>

namespace fenwhit {

// The four edges of a rectangle, top, right, bottom, left.
void drawRectOutline(int32_t left, int32_t top, int32_t right, int32_t bottom, float width);
// Colour from the beat flash: the glows light up on every beat and fade after it.
void setBeatTint();
// One "light.png" glow centred on (x, y), turned at random.
void drawGlow(int32_t x, int32_t y, float scale);
// Glows on the four corners, top-left, top-right, bottom-left, bottom-right.
void drawCornerGlows(int32_t left, int32_t top, int32_t right, int32_t bottom, float scale);

}  // namespace fenwhit
