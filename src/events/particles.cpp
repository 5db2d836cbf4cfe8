// Particles trail the balls and mark every hit; each fades by 12 per colour component
// per frame and is freed once black, so one starting at 255 lives 22 frames.
#include "events/effect_pools.h"
#include "events/pool_passes.h"
#include "events/pool_records.h"
#include "events/snapped_points.h"
#include "game/random.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "gfx/sprites.h"

namespace fenwhit {

namespace {

constexpr float kFade = 12;
constexpr int32_t kHalfSize = 16;

float randomIn(double scale, double offset) {
  return static_cast<float>(randomUnit() * scale + offset);
}

// Places a particle at (x, y) with a velocity from r * spread - spread / 2 per
// component; nullptr when the pool is full. Nothing frees a slot during a spawn, so
// the spawners stop at the first drop: the rest would be dropped too.
Particle* place(int32_t x, int32_t y, double spread) {
  Particle* particle = particles.take();
  if (particle == nullptr) return nullptr;
  particle->x = static_cast<float>(x);
  particle->y = static_cast<float>(y);
  particle->vx = randomIn(spread, -spread / 2);
  particle->vy = randomIn(spread, -spread / 2);
  return particle;
}

void setColour(Particle& particle, float red, float green, float blue) {
  particle.red = red;
  particle.green = green;
  particle.blue = blue;
}

float fade(float component) {
  if (component > 0) component -= kFade;
  return component < 0 ? 0 : component;
}

}  // namespace

void spawnSparks(int32_t x, int32_t y, int32_t extra) {
  for (int32_t k = 0; k <= extra; ++k) {
    Particle* particle = place(x, y, 2);
    if (particle == nullptr) return;
    particle->angle = randomIn(360, 0);
    setColour(*particle, 255, randomIn(200, 55), 10);
  }
}

// The trails keep the angle the slot last held.
void spawnGhostTrail(int32_t x, int32_t y, int32_t extra) {
  for (int32_t k = 0; k <= extra; ++k) {
    Particle* particle = place(x, y, 2);
    if (particle == nullptr) return;
    setColour(*particle, 0, randomIn(100, 15), 255);
  }
}

void spawnChaosTrail(int32_t x, int32_t y, int32_t extra) {
  for (int32_t k = 0; k <= extra; ++k) {
    Particle* particle = place(x, y, 6);
    if (particle == nullptr) return;
    setColour(*particle, 255, 0, 0);
  }
}

void particlePass() {
  SetBlendAdditive();
  for (int32_t i = 0; i <= particleLast; ++i) {
    Particle& particle = particles[i];
    if (particle.alive != 1) continue;
    particle.red = fade(particle.red);
    particle.green = fade(particle.green);
    particle.blue = fade(particle.blue);
    particle.x += particle.vx;
    particle.y += particle.vy;
    SetColor(snap(particle.red), snap(particle.green), snap(particle.blue), 255);
    DrawSprite(snap(particle.x - kHalfSize), snap(particle.y - kHalfSize), pictures.particle,
               particle.angle, 1.0f);
    if (particle.red == 0 && particle.green == 0 && particle.blue == 0) particles.release(i);
  }
}

}  // namespace fenwhit
