#pragma once
// The five effect pools: fixed tables of float records whose first field is 0 for a
// free slot. Spawns take the lowest free slot; a full pool drops the spawn.
#include <cstdint>

namespace fenwhit {

struct Obstacle {
  float alive;
  float left, top;      // corner it grows from
  float width, height;  // full size
  float right, bottom;  // current far corner
  float grownWidth, grownHeight;
};

// Covers x..x + 64 and y..y + 32.
struct Brick {
  float alive;
  float x, y;
  float red, green, blue;
};

struct Invader {
  float alive;
  float x, y;
  float vx, vy;
};

struct Shot {
  float alive;
  float x, y;
  float vx, vy;
};

// Live only while alive is exactly 1; fades as its colour falls to 0.
struct Particle {
  float alive;
  float x, y;
  float vx, vy;
  float angle;
  float red, green, blue;
};

inline constexpr int32_t kPoolSlots = 1201;
inline constexpr int32_t kPoolLast = 1000;
inline constexpr int32_t kParticleSlots = 1701;
inline constexpr int32_t particleLast = 1600;

// Slots 0..Last are searched, updated and drawn; the rest are never touched.
// Every slot below lowestMaybeFree is taken, so a spawn resumes its scan there and the
// lowest free slot is still the one it finds. Keep that true by freeing through release.
template <typename Record, int32_t Slots, int32_t Last>
struct EffectPool {
  static_assert(Last < Slots);
  static constexpr int32_t kLast = Last;

  Record slot[Slots] = {};
  int32_t lowestMaybeFree = 0;

  Record& operator[](int32_t i) { return slot[i]; }
  const Record& operator[](int32_t i) const { return slot[i]; }

  // The lowest free slot, marked alive with its other fields as it left them; nullptr
  // when the pool is full.
  Record* take() {
    for (int32_t i = lowestMaybeFree; i <= Last; ++i) {
      if (slot[i].alive == 0) {
        lowestMaybeFree = i + 1;
        slot[i].alive = 1;
        return &slot[i];
      }
    }
    lowestMaybeFree = Last + 1;
    return nullptr;
  }

  void release(int32_t i) {
    slot[i].alive = 0;
    if (i < lowestMaybeFree) lowestMaybeFree = i;
  }

  // Frees every slot, the unused ones too; the other fields keep their values.
  void clear() {
    for (Record& record : slot) record.alive = 0;
    lowestMaybeFree = 0;
  }
};

extern EffectPool<Obstacle, kPoolSlots, kPoolLast> obstacles;
extern EffectPool<Brick, kPoolSlots, kPoolLast> bricks;
extern EffectPool<Invader, kPoolSlots, kPoolLast> invaders;
extern EffectPool<Shot, kPoolSlots, kPoolLast> shots;
extern EffectPool<Particle, kParticleSlots, particleLast> particles;

}  // namespace fenwhit
