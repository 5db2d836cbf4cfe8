#pragma once
// The arena, its paddles and the view of it.

namespace fenwhit {

// One step of every moving wall, view and backdrop quantity towards its target.
void approachTargets();
// Keeps both paddles (the second even when absent) between the top and bottom walls;
// a paddle longer than the arena sticks to the top wall.
void clampPaddles();
// Rotation, zoom and squeeze of the next frame, with the jitter of its event.
void setViewTransform();
// The continuous spin, wrapped to 0 past a full turn.
void advanceSpin();
// Masks beside the arena, paddles, corner sprites, glows and wall lines.
void drawArena();

}  // namespace fenwhit
