#pragma once
// The passes that updatePools runs in order, and what they share.
#include <cstdint>

namespace fenwhit {

// Grow, bounce balls, draw, crush invaders.
void obstaclePass();
// Draw, then smash under every ball inside.
void brickPass();
// March, draw, leave the arena, meet shots and balls.
void invaderPass();
void shotPass();
void particlePass();

}  // namespace fenwhit
