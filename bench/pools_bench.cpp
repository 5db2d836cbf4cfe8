// The worst frame of the effect pools: every pool full (1601 balls, 1601 particles,
// 1001 invaders, 1001 shots, 100 bricks, 50 obstacles), restored before every
// iteration so each one does the same work.
// Update: ball update and the five pool passes, drawing submitted to a recording
// renderer that keeps nothing; the ball update alone is the reference. Slot search:
// 1601 trail spawns into an empty particle pool and 1601 into the full one, by the
// pool's resumed scan against a scan from slot 0 each time. Gl: the whole frame drawn
// by Mesa into an offscreen 1280 x 720 window (run with SDL_VIDEODRIVER=offscreen),
// against the same frame with every pool empty; skipped when no OpenGL context can be
// made.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <string>

#include "app/pictures.h"
#include "audio/silent_sound_device.h"
#include "audio/sound_device.h"
#include "bench_game.h"
#include "bench_window.h"
#include "events/effect_pools.h"
#include "events/pool_records.h"
#include "game/arena.h"
#include "game/backdrop.h"
#include "game/balls.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/random.h"
#include "gfx/draw.h"
#include "gfx/recording_renderer.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "image/png.h"
#include "platform/test_platform.h"
#include "ui/hud.h"

namespace fenwhit {
namespace {

int32_t randomIn(int32_t low, int32_t high) {
  return low + static_cast<int32_t>((high - low) * randomUnit());
}

// Everything a frame changes, taken once the pools are full.
struct Snapshot {
  GameState state;
  Ball ballPool[kBallPoolSize];
  decltype(obstacles) obstaclePool;
  decltype(bricks) brickPool;
  decltype(invaders) invaderPool;
  decltype(shots) shotPool;
  decltype(particles) particlePool;
};
Snapshot saved;

void save() {
  saved.state = game;
  for (int i = 0; i < kBallPoolSize; ++i) saved.ballPool[i] = balls[i];
  saved.obstaclePool = obstacles;
  saved.brickPool = bricks;
  saved.invaderPool = invaders;
  saved.shotPool = shots;
  saved.particlePool = particles;
}

void restore() {
  game = saved.state;
  for (int i = 0; i < kBallPoolSize; ++i) balls[i] = saved.ballPool[i];
  obstacles = saved.obstaclePool;
  bricks = saved.brickPool;
  invaders = saved.invaderPool;
  shots = saved.shotPool;
  particles = saved.particlePool;
}

// A game in play whose balls never leave: the paddle covers the whole goal. With
// `fill`, every pool is full of entries spread over the arena.
void setUpGame(bool fill) {
  StartBenchGame(7);
  if (!fill) {
    spawnBall(1130, 250);
    save();
    return;
  }
  for (int i = 0; i <= game.ballLast; ++i) spawnBall(randomIn(200, 1100), randomIn(50, 650));
  for (int i = 0; i < 50; ++i) {
    spawnObstacle();
    Obstacle& obstacle = obstacles[i];
    obstacle.right = obstacle.left + obstacle.width;
    obstacle.bottom = obstacle.top + obstacle.height;
    obstacle.grownWidth = obstacle.width;
    obstacle.grownHeight = obstacle.height;
  }
  for (int i = 0; i < 100; ++i) spawnBrick(600 + 64 * (i % 8), 100 + 32 * (i / 8), 200, 100, 50);
  for (int i = 0; i <= kPoolLast; ++i) {
    spawnInvader(randomIn(120, 1150), randomIn(20, 690));
    spawnShot(randomIn(120, 1150), randomIn(20, 690));
  }
  for (int i = 0; i <= particleLast; ++i) spawnSparks(randomIn(120, 1150), randomIn(20, 690), 0);
  save();
}

void BM_BallUpdateReference(benchmark::State& state) {
  RecordingRenderer renderer(false);
  SetRenderer(&renderer);
  setUpGame(true);
  for (auto _ : state) {
    state.PauseTiming();
    restore();
    state.ResumeTiming();
    updateBalls();
  }
  SetRenderer(nullptr);
}
BENCHMARK(BM_BallUpdateReference)->Unit(benchmark::kMicrosecond);

void BM_FullPoolsUpdate(benchmark::State& state) {
  RecordingRenderer renderer(false);
  SetRenderer(&renderer);
  setUpGame(true);
  for (auto _ : state) {
    state.PauseTiming();
    restore();
    state.ResumeTiming();
    updateBalls();
    updatePools();
  }
  state.counters["score"] = game.score;
  SetRenderer(nullptr);
}
BENCHMARK(BM_FullPoolsUpdate)->Unit(benchmark::kMicrosecond);

// Argument 1: the pool's own resumed scan; 0: a scan from slot 0 for every spawn.
void BM_TrailSlotSearch(benchmark::State& state) {
  const bool resumed = state.range(0) == 1;
  for (auto _ : state) {
    clearPools();
    for (int spawn = 0; spawn < 2 * (particleLast + 1); ++spawn) {
      if (resumed) {
        benchmark::DoNotOptimize(particles.take());
        continue;
      }
      for (int32_t i = 0; i <= particleLast; ++i) {
        if (particles[i].alive == 0) {
          particles[i].alive = 1;
          break;
        }
      }
      benchmark::ClobberMemory();
    }
  }
}
BENCHMARK(BM_TrailSlotSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Argument 1: every pool full; 0: one ball and empty pools.
void BM_GlFrame(benchmark::State& state) {
  BenchWindow window(state);
  if (!window.Open()) return;
  setUpGame(state.range(0) == 1);
  window.MakeCurrent();
  game.zoom = 0.7;
  for (auto _ : state) {
    state.PauseTiming();
    restore();
    state.ResumeTiming();
    setViewTransform();
    drawBackdrop();
    drawArena();
    updateBalls();
    updatePools();
    drawBalls();
    drawHud();
    glFinish();
    ClearFrame();
  }
}
BENCHMARK(BM_GlFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace fenwhit
