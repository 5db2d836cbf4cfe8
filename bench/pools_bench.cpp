// The worst frame of the effect pools: every pool full (1601 balls, 1601 particles,
// 1001 invaders, 1001 shots, 100 bricks, 50 obstacles), restored before every
// iteration so each one does the same work.
// Update: ball update and the five pool passes, drawing submitted to a recording
// renderer that keeps nothing; the ball update alone is the reference. Slot search:
// 1601 trail spawns into an empty particle pool and 1601 into the full one, by the
// pool's resumed scan against a scan from slot 0 each time. Gl: the whole frame drawn
// by Mesa into an offscreen 1280 x 720 window (run with SDL_VIDEODRIVER=offscreen),
// against the same frame with every pool empty, by the game's batched renderer against the
// immediate one; skipped when no OpenGL context can be made.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <string>

#include "audio/silent_sound_device.h"
#include "audio/sound_device.h"
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
#include "gfx/pictures.h"
#include "gfx/recording_renderer.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "image/png.h"
#include "platform/test_platform.h"
#include "support/full_pools.h"
#include "support/game_in_play.h"
#include "thread_time.h"
#include "ui/hud.h"

namespace fenwhit {
namespace {

testing::FrameSnapshot saved;

// A game in play whose balls never leave: the paddle covers the whole goal. With
// `fill`, every pool is full of entries spread over the arena.
void setUpGame(bool fill) {
  StartGameInPlay(7);
  if (!fill) {
    spawnBall(1130, 250);
    saved.Take();
    return;
  }
  testing::FillEveryPool();
  saved.Take();
}

void BM_BallUpdateReference(benchmark::State& state) {
  RecordingRenderer renderer(false);
  SetRenderer(&renderer);
  setUpGame(true);
  for (auto _ : state) {
    state.PauseTiming();
    saved.Restore();
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
    saved.Restore();
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

// Argument 1: every pool full; 0: one ball and empty pools. Each iteration draws the frame
// with the immediate renderer, then with the game's batched one, so a machine loaded by
// other work slows both alike; the batched frame's time is the benchmark's. Counters: both
// frames' times in milliseconds, wall and the main thread's processor time, and the
// immediate frame's time over the batched one's.
void BM_GlFrame(benchmark::State& state) {
  BenchWindow window(state);
  if (!window.Open()) return;
  setUpGame(state.range(0) == 1);
  game.zoom = 0.7;
  using Clock = std::chrono::steady_clock;
  const BenchWindow::Kind kinds[2] = {BenchWindow::Kind::kImmediate, BenchWindow::Kind::kBatched};
  double wall[2] = {};
  double processor[2] = {};
  for (auto _ : state) {
    double batchedSeconds = 0;
    for (int k = 0; k < 2; ++k) {
      window.MakeCurrent(kinds[k]);
      saved.Restore();
      const Clock::time_point start = Clock::now();
      const double cpuStart = ThreadSeconds();
      testing::DrawPoolFrame();
      window.Finish();
      ClearFrame();
      processor[k] += ThreadSeconds() - cpuStart;
      const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
      wall[k] += seconds;
      batchedSeconds = seconds;
    }
    state.SetIterationTime(batchedSeconds);
  }
  const double perFrameMs = 1000.0 / static_cast<double>(state.iterations());
  state.counters["immediate_ms"] = wall[0] * perFrameMs;
  state.counters["batched_ms"] = wall[1] * perFrameMs;
  state.counters["immediate_cpu_ms"] = processor[0] * perFrameMs;
  state.counters["batched_cpu_ms"] = processor[1] * perFrameMs;
  state.counters["speed_up"] = wall[0] / wall[1];
}
BENCHMARK(BM_GlFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
}  // namespace fenwhit
