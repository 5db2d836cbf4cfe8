// Invaders march right across the arena. Shots and balls destroy them; those that get
// through are destroyed at the right wall. Every test runs for every invader, even one
// that an earlier test freed this frame, each with its own consequences.
#include "audio/sound_bank.h"
#include "audio/sound_ids.h"
#include "events/column_index.h"
#include "events/effect_pools.h"
#include "events/pool_passes.h"
#include "events/pool_records.h"
#include "events/snapped_points.h"
#include "game/game_state.h"
#include "game/scoring.h"
#include "gfx/draw.h"

namespace fenwhit {

namespace {

constexpr int32_t kHitSparks = 3;
constexpr int32_t kShotPoints = 800;
constexpr int32_t kBallPoints = 300;
// Reach of the invader's hit boxes right of and below its position.
constexpr int32_t kShotBoxWidth = 20;
constexpr int32_t kShotBoxHeight = 26;
constexpr int32_t kBallBox = 30;

// Neither shots nor balls move during this pass, so both are rounded and indexed by
// column once. A shot spent on one invader moves to kNowhere so the next ones cannot
// meet it.
SnappedPoints snappedShots;
ColumnIndex shotColumns;
ColumnIndex ballColumns;

void indexShotsAndBalls() {
  for (int32_t i = 0; i <= kPoolLast; ++i) {
    const Shot& shot = shots[i];
    const bool live = shot.alive != 0;
    snappedShots.x[i] = live ? snap(shot.x) : kNowhere;
    snappedShots.y[i] = live ? snap(shot.y) : kNowhere;
  }
  shotColumns.build(snappedShots.x, kPoolLast + 1);
  ballColumns.build(snappedBalls.x, lastBallSlot() + 1);
}

void explode(int32_t x, int32_t y) {
  PlaySoundThrottled(sound::kMiniExplode);
  spawnSparks(x, y, kHitSparks);
}

void draw(int32_t x, int32_t y) {
  DrawLine(x, y, x, y + 20, 1);
  DrawLine(x, y + 20, x + 10, y + 10, 1);
  DrawLine(x + 10, y + 10, x, y, 1);
}

void leaveArena(int32_t slot) {
  const Invader& invader = invaders[slot];
  const GameState& g = game;
  const float left = static_cast<float>(g.wallLeft);
  const bool pastRight = invader.x > static_cast<float>(g.wallRight);
  const bool pastTop = invader.y < static_cast<float>(g.wallTop) && invader.x > left;
  const bool pastBottom = invader.x > left && invader.y > static_cast<float>(g.wallBottom);
  const int32_t x = snap(invader.x);
  const int32_t y = snap(invader.y);
  for (bool past : {pastRight, pastTop, pastBottom}) {
    if (!past) continue;
    invaders.release(slot);
    explode(x, y);
  }
}

void meetShots(int32_t slot, int32_t x, int32_t y) {
  const OpenRect box{x, y, x + kShotBoxWidth, y + kShotBoxHeight};
  // Every shot hit has the same consequences, so the order they are met in is free.
  shotColumns.forEachNear(box.left, box.right, [&](int32_t i) {
    if (!inside(box, snappedShots.x[i], snappedShots.y[i])) return;
    invaders.release(slot);
    shots.release(i);
    snappedShots.x[i] = snappedShots.y[i] = kNowhere;
    spawnSparks(x, y, kHitSparks);
    addScore(kShotPoints);
    PlaySoundThrottled(sound::kMiniExplode);
  });
}

// The ball is not deflected.
void meetBalls(int32_t slot, int32_t x, int32_t y) {
  const OpenRect box{x, y, x + kBallBox, y + kBallBox};
  int32_t hits = 0;
  ballColumns.forEachNear(box.left, box.right, [&](int32_t i) {
    hits += inside(box, snappedBalls.x[i], snappedBalls.y[i]) ? 1 : 0;
  });
  for (int32_t k = 0; k < hits; ++k) {
    invaders.release(slot);
    explode(x, y);
    addScore(kBallPoints);
  }
}

}  // namespace

void spawnInvader(int32_t x, int32_t y) {
  Invader* invader = invaders.take();
  if (invader == nullptr) return;
  invader->x = static_cast<float>(x);
  invader->y = static_cast<float>(y);
  invader->vx = 1;
  invader->vy = 0;
}

void invaderPass() {
  SetColor(255, 180, 120, 255);
  // Shots and balls are indexed only in frames that have an invader to meet them.
  bool indexed = false;
  for (int32_t i = 0; i <= kPoolLast; ++i) {
    Invader& invader = invaders[i];
    if (invader.alive == 0) continue;
    if (!indexed) {
      indexShotsAndBalls();
      indexed = true;
    }
    invader.x += invader.vx;
    invader.y += invader.vy;
    const int32_t x = snap(invader.x);
    const int32_t y = snap(invader.y);
    draw(x, y);
    leaveArena(i);
    meetShots(i, x, y);
    meetBalls(i, x, y);
  }
}

}  // namespace fenwhit
