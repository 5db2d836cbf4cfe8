// Obstacles open from a corner one unit per frame, turn balls back, glow at their
// corners on the beat and crush the invaders that march into them.
#include "common/calm_flashes.h"
#include "events/ball_bounce.h"
#include "events/effect_pools.h"
#include "events/pool_passes.h"
#include "events/pool_records.h"
#include "game/game_state.h"
#include "game/glows.h"
#include "game/random.h"
#include "gfx/draw.h"

namespace fenwhit {

namespace {

constexpr float kEdgeWidth = 3;
constexpr int32_t kCrushReach = 6;
constexpr int32_t kCrushSparks = 4;

float randomIn(double scale, double offset) {
  return static_cast<float>(randomUnit() * scale + offset);
}

void grow(Obstacle& obstacle) {
  if (obstacle.grownWidth < obstacle.width) {
    obstacle.right += 1;
    obstacle.grownWidth += 1;
  }
  if (obstacle.grownHeight < obstacle.height) {
    obstacle.bottom += 1;
    obstacle.grownHeight += 1;
  }
}

void bounceBalls(const OpenRect& rect) {
  const int32_t last = lastBallSlot();
  for (int32_t i = 0; i <= last; ++i) {
    if (inside(rect, snappedBalls.x[i], snappedBalls.y[i])) bounceOutOf(i, rect);
  }
}

void draw(const OpenRect& r) {
  const GameState& g = game;
  SetColor(ShownBackdropColour(0), ShownBackdropColour(1), ShownBackdropColour(2), 255);
  FillRectCorners(r.left, r.top, r.right, r.bottom);
  SetColor(255, 255, 255, 255);
  drawRectOutline(r.left, r.top, r.right, r.bottom, kEdgeWidth);
  setBeatTint();
  drawCornerGlows(r.left, r.top, r.right, r.bottom, static_cast<float>(g.glowScale + 1));
}

// Invaders do not move during this pass: the points that obstacles crush them by are
// rounded once, and a crushed invader's point moves to kNowhere.
SnappedPoints crushPoints;

void snapCrushPoints() {
  for (int32_t i = 0; i <= kPoolLast; ++i) {
    const Invader& invader = invaders[i];
    const bool live = invader.alive != 0;
    crushPoints.x[i] = live ? snap(invader.x + kCrushReach) : kNowhere;
    crushPoints.y[i] = live ? snap(invader.y + kCrushReach) : kNowhere;
  }
}

void crushInvaders(const OpenRect& rect) {
  for (int32_t i = 0; i <= kPoolLast; ++i) {
    if (!inside(rect, crushPoints.x[i], crushPoints.y[i])) continue;
    crushPoints.x[i] = crushPoints.y[i] = kNowhere;
    const Invader& invader = invaders[i];
    const int32_t x = snap(invader.x - kCrushReach);
    const int32_t y = snap(invader.y - kCrushReach);
    invaders.release(i);
    spawnSparks(x, y, kCrushSparks);
  }
}

}  // namespace

void spawnObstacle() {
  Obstacle* obstacle = obstacles.take();
  if (obstacle == nullptr) return;
  const GameState& g = game;
  obstacle->left = randomIn(g.wallRight - 200, 160);
  obstacle->top = randomIn(g.wallBottom, g.wallTop);
  obstacle->width = randomIn(140, 20);
  obstacle->height = randomIn(140, 20);
  obstacle->right = obstacle->left;
  obstacle->bottom = obstacle->top;
  obstacle->grownWidth = 0;
  obstacle->grownHeight = 0;
}

void addObstacle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Obstacle* obstacle = obstacles.take();
  if (obstacle == nullptr) return;
  obstacle->left = static_cast<float>(left);
  obstacle->top = static_cast<float>(top);
  obstacle->width = obstacle->right = obstacle->grownWidth = static_cast<float>(right);
  obstacle->height = obstacle->bottom = obstacle->grownHeight = static_cast<float>(bottom);
}

void obstaclePass() {
  SetBlendAdditive();
  bool snapped = false;  // only frames with an obstacle need the invaders' points
  for (int32_t i = 0; i <= kPoolLast; ++i) {
    Obstacle& obstacle = obstacles[i];
    if (obstacle.alive == 0) continue;
    if (!snapped) {
      snapCrushPoints();
      snapped = true;
    }
    grow(obstacle);
    const OpenRect rect{snap(obstacle.left), snap(obstacle.top), snap(obstacle.right),
                        snap(obstacle.bottom)};
    bounceBalls(rect);
    draw(rect);
    crushInvaders(rect);
  }
}

}  // namespace fenwhit
