#pragma once
// The ball pool: a fixed table searched, moved, counted and drawn up to ballLast.
#include <cstdint>

#include "game/same_arithmetic.h"

namespace fenwhit {

enum class BallKind : int32_t { Free = 0, Normal = 1, Ghost = 2, Chaos = 3, Bogus = 4 };

struct Ball {
  BallKind kind = BallKind::Free;
  float x = 0;
  float y = 0;
  float vx = 0;
  float vy = 0;
  float spin = 0;   // degrees per frame
  float angle = 0;  // degrees, kept within 0..360
};

// Slots 0..1800; only 0..ballLast (1600) are ever used.
inline constexpr int kBallPoolSize = 1801;
extern Ball balls[kBallPoolSize];

// Each puts one ball into the lowest free slot, or does nothing when none is free.
void spawnBall(int32_t x, int32_t y);
void spawnBogusBall(int32_t x, int32_t y);
void spawnGhostBall(int32_t x, int32_t y);
void spawnChaosBall(int32_t x, int32_t y);

// Moves, spins and collides every live ball; loses normal balls behind the paddles.
void updateBalls();

struct BallCounts {
  int32_t normalBallCount = 0;
  int32_t ghostsInArena = 0;  // ghosts right of the paddle line
};
BallCounts countBalls();

void drawBalls();

// Frees every slot of the pool, including those above ballLast.
void clearBalls();

}  // namespace fenwhit
