// Shots fly left from the paddle ends until far behind the paddle line.
#include "events/effect_pools.h"
#include "events/pool_passes.h"
#include "events/pool_records.h"
#include "events/snapped_points.h"
#include "gfx/draw.h"

namespace fenwhit {

namespace {
constexpr float kShotSpeed = -10;
constexpr float kGone = -6000;
constexpr int32_t kShotLength = 16;
constexpr float kShotWidth = 3;
}  // namespace

void spawnShot(int32_t x, int32_t y) {
  Shot* shot = shots.take();
  if (shot == nullptr) return;
  shot->x = static_cast<float>(x);
  shot->y = static_cast<float>(y);
  shot->vx = kShotSpeed;
  shot->vy = 0;
}

// Drawn with the blending and colour the invader pass leaves.
void shotPass() {
  for (int32_t i = 0; i <= kPoolLast; ++i) {
    Shot& shot = shots[i];
    if (shot.alive == 0) continue;
    shot.x += shot.vx;
    shot.y += shot.vy;
    if (shot.x < kGone) shots.release(i);
    const int32_t x = snap(shot.x);
    const int32_t y = snap(shot.y);
    DrawLine(x, y, x + kShotLength, y, kShotWidth);
  }
}

}  // namespace fenwhit
