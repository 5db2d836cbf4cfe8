#include "events/effect_pools.h"

namespace fenwhit {

// Placeholders: the bodies come with the effect pools.
void spawnSparks(int32_t, int32_t, int32_t) {}
void spawnGhostTrail(int32_t, int32_t, int32_t) {}
void spawnChaosTrail(int32_t, int32_t, int32_t) {}
void spawnShot(int32_t, int32_t) {}
void updatePools() {}
void clearPools() {}

}  // namespace fenwhit
