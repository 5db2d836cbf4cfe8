#pragma once
// Shots, particles and the event-made obstacles, bricks and invaders: their spawners
// and the once-per-frame passes that move, collide and draw them.
#include <cstdint>

namespace fenwhit {

// An obstacle at a random place that opens from its corner, one unit per frame.
void spawnObstacle();
// A finished rectangle from (left, top) to (right, bottom) that never grows.
void addObstacle(int32_t left, int32_t top, int32_t right, int32_t bottom);
void spawnBrick(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue);
// Marches right, one unit per frame.
void spawnInvader(int32_t x, int32_t y);
// Flies left, ten units per frame.
void spawnShot(int32_t x, int32_t y);

// Each places extra + 1 particles at (x, y).
void spawnSparks(int32_t x, int32_t y, int32_t extra);
void spawnGhostTrail(int32_t x, int32_t y, int32_t extra);
void spawnChaosTrail(int32_t x, int32_t y, int32_t extra);

// Once per frame after the balls have moved and the arena is drawn: obstacles, bricks,
// invaders, shots and particles, in that order.
void updatePools();
// Frees every slot of every pool.
void clearPools();

}  // namespace fenwhit
