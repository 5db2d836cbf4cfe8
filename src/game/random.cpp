#include "game/random.h"

#include <bit>
#include <random>

#include "platform/platform.h"

namespace fenwhit {

namespace {
std::mt19937_64 generator{0x5eed};
}

void seedRandom(uint64_t seed) {
  generator.seed(seed);
}

void seedRandomFromClock() {
  seedRandom(std::bit_cast<uint64_t>(ThePlatform().Clock()));
}

uint64_t randomSeedBits() {
  return generator();
}

double randomUnit() {
  // The top 53 bits give every double in [0, 1) on a 2^-53 grid, never 1.0.
  return static_cast<double>(generator() >> 11) * 0x1.0p-53;
}

}  // namespace fenwhit
