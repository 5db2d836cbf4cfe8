#include "events/event_effects.h"

#include <cstdint>

#include "events/effect_pools.h"
#include "game/balls.h"
#include "game/game_state.h"
#include "game/random.h"
#include "game/rounding.h"

namespace fenwhit::effects {

namespace {

constexpr int32_t kShortestPaddle = 12;
constexpr int32_t kSlowestPaddle = 3;
constexpr int32_t kMostCorridors = 3;

// New balls enter near the top right corner, where the player has time to see them.
int32_t spawnX() {
  return game.wallRight - 40;
}
int32_t spawnY() {
  return game.wallTop + 40;
}

void spawnAtTopRight(void (*spawn)(int32_t, int32_t), int count) {
  for (int i = 0; i < count; ++i) spawn(spawnX(), spawnY());
}

template <typename Change>
void forEachBall(Change change) {
  for (int32_t i = 0; i <= game.ballLast; ++i) {
    if (balls[i].kind != BallKind::Free) change(balls[i]);
  }
}

// A moving component gets one unit faster; a still one stays still.
float speedUp(float v) {
  if (v < 0) return v - 1;
  if (v > 0) return v + 1;
  return v;
}

void expandArena(double shrink, int32_t grow) {
  game.zoomShrink += shrink;
  game.wallTopTarget -= grow;
  game.wallBottomTarget += grow;
  game.zoomTarget -= game.zoomShrink;
}

int32_t randomColourComponent() {
  return RoundEven(255 * randomUnit());
}

}  // namespace

void extraBall() {
  spawnBall(spawnX(), spawnY());
}

void paddleSizeDown() {
  game.paddleLengthTarget -= 12;
  if (game.paddleLengthTarget < 24) game.paddleLengthTarget = kShortestPaddle;
}

void ballsSpeedUp() {
  game.ballSpeed += 1;
  forEachBall([](Ball& ball) {
    ball.vx = speedUp(ball.vx);
    ball.vy = speedUp(ball.vy);
  });
}

// Quarter turns shrink the view so the turned arena still fits; the exact half and
// full turns keep whatever zoom they had.
void rotateArena() {
  GameState& g = game;
  g.tiltTarget += 45;
  const float t = g.tiltTarget;
  if ((t > 20 && t < 180) || (t > 220 && t < 360)) {
    g.zoomTarget = 0.7 - g.zoomShrink;
    g.zoomStep = 0.02;
  }
  if (t > 0 && t < 20) {
    g.zoomTarget = 1.0 - g.zoomShrink;
    g.zoomStep = 0.02;
  }
  if (t > 360) g.tiltTarget -= 360;
  g.tiltStep = 5.0f;
}

void threeGhostBalls() {
  for (int32_t dy : {40, 50, 60}) spawnGhostBall(spawnX(), game.wallTop + dy);
}

void wallsExpand() {
  expandArena(0.05, 80);
}

void distraction() {
  game.viewJitter = 1;
}

void wallsImplode() {
  if (game.wallRightTarget > 300) game.wallRightTarget -= 120;
}

void randomDirection() {
  const double s = game.ballSpeed;
  forEachBall([s](Ball& ball) {
    ball.vx = static_cast<float>(randomUnit() * (s + 10) - (s + 5));
    ball.vy = static_cast<float>(randomUnit() * (s + 10) - (s + 5));
  });
}

void obstacles() {
  spawnObstacle();
}

// Eight rows of sixteen, far left of the paddles, marching in.
void invaders() {
  for (int32_t y = 200; y <= 480; y += 40) {
    for (int32_t x = -1200; x <= -600; x += 40) spawnInvader(x, y);
  }
}

void threeExtraBalls() {
  spawnAtTopRight(spawnBall, 3);
}

void slowPaddle() {
  game.paddleSpeed -= 3;
  if (game.paddleSpeed < kSlowestPaddle) game.paddleSpeed = kSlowestPaddle;
}

void chaosBalls() {
  for (int i = 0; i < 3; ++i) spawnChaosBall(spawnX(), game.wallTop + 80);
}

// Every ball after the first normal one may change kind, except those already at
// the paddle line. A normal ball the walk meets keeps its kind, and the walk takes
// the next slot in its place.
void transmutation() {
  const GameState& g = game;
  bool metNormal = false;
  for (int32_t i = 0; i <= g.ballLast; ++i) {
    if (balls[i].kind == BallKind::Normal) {
      metNormal = true;
      if (++i > g.ballLast) break;
    }
    Ball& ball = balls[i];
    if (metNormal && ball.kind != BallKind::Free && ball.x > g.wallLeft + 10) {
      ball.kind = static_cast<BallKind>(RoundEven(2 * randomUnit() + 1));
    }
  }
}

void autoRotation() {
  game.spinSpeed += 0.4f;
}

void zoomZoomZoom() {
  game.zoomZoomActive = 1;
  game.savedZoom = game.zoom;
  game.zoomTarget = 0.2;
  game.zoomStep = 0.02;
}

// A long wall behind the paddle line, once a game.
void extraWall() {
  if (game.extraWallBuilt != 0) return;
  addObstacle(-800, -4000, -100, 4000);
  game.extraWallBuilt = 1;
}

void corridor() {
  if (game.corridorCount >= kMostCorridors) return;
  game.wallRightTarget += 600;
  game.corridorCount += 1;
}

void blackHole() {
  game.blackHoleOn = 1;
  game.blackHoleX = RoundEven(900 * randomUnit() + 300);
  game.blackHoleY = RoundEven(700 * randomUnit());
}

void tenBogusBalls() {
  spawnAtTopRight(spawnBogusBall, 10);
}

// Ten rows of bricks up to the right wall; the colour brightens brick by brick.
void breakout() {
  int32_t colour[3];
  for (int32_t& component : colour) component = randomColourComponent();
  for (int32_t y = 100; y <= 388; y += 32) {
    for (int32_t x = 600; x <= game.wallRight - 64; x += 64) {
      for (int32_t& component : colour) {
        if (component < 251) component += 3;
      }
      spawnBrick(x, y, colour[0], colour[1], colour[2]);
    }
  }
}

void squeezeTime() {
  game.squeezeYTarget = 0.42;
}
void stretchTime() {
  game.squeezeXTarget = -1.4;
}
void crappyComputer() {
  game.slowFrames = 1;
}
void gameloopCrash() {
  game.ballsFrozen = 1;
}
void mooingCows() {
  game.ballSkin = 1;
}
void chickens() {
  game.ballSkin = 2;
}
void kromby() {
  game.ballSkin = 3;
}
void biggerBalls() {
  game.ballScaleAdd += 0.4f;
}
void feelTheBeat() {
  game.flashColours = 1;
}
void xenonLights() {
  game.glowScale += 3.0;
}

void interfaceTerror() {
  for (int32_t& offset : game.hudJitter) offset = RoundEven(600 * randomUnit() - 200);
}

void fiftyBogusBalls() {
  spawnAtTopRight(spawnBogusBall, 50);
}
void fiftyGhostBalls() {
  spawnAtTopRight(spawnGhostBall, 50);
}
void arenaExpand() {
  expandArena(0.2, 230);
}

}  // namespace fenwhit::effects
