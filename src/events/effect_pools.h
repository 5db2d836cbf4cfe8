#pragma once
// Shots, particles and the event-made obstacles, bricks and invaders.
#include <cstdint>

namespace fenwhit {

// extra + 1 particles each.
void spawnSparks(int32_t x, int32_t y, int32_t extra);
void spawnGhostTrail(int32_t x, int32_t y, int32_t extra);
void spawnChaosTrail(int32_t x, int32_t y, int32_t extra);
void spawnShot(int32_t x, int32_t y);

// Once per frame after the arena is drawn: moves, collides and draws every pool.
void updatePools();
// Frees every slot of every pool.
void clearPools();

}  // namespace fenwhit
