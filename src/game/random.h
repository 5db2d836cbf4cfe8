#pragma once
// The game's one source of random numbers. Seeded from the clock at start-up; tests
// seed it with a fixed value to replay a game exactly.
#include <cstdint>

#include "game/same_arithmetic.h"

namespace fenwhit {

void seedRandom(uint64_t seed);
// Seeds from the platform clock.
void seedRandomFromClock();
// Uniform in [0, 1); never 1.0.
double randomUnit();
// 64 bits from the generator, to seed a game with.
uint64_t randomSeedBits();

}  // namespace fenwhit
