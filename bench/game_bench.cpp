// One game frame with the ball pool full (1601 normal balls kept in play by a paddle
// as tall as the arena), against the same frame with an empty pool.
// Update: the per-frame game logic, no drawing. Draw: backdrop, arena and balls through
// the game's batched OpenGL renderer into an offscreen 1280 x 720 window (run with
// SDL_VIDEODRIVER=offscreen); skipped when no OpenGL context can be made.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "audio/sound_device.h"
#include "bench_window.h"
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
#include "image/png.h"
#include "platform/test_platform.h"
#include "support/game_in_play.h"

namespace fenwhit {
namespace {

void setUpGame(int ballCount) {
  StartGameInPlay(99);
  for (int i = 0; i < ballCount; ++i) {
    spawnBall(static_cast<int32_t>(200 + 900 * randomUnit()),
              static_cast<int32_t>(50 + 600 * randomUnit()));
  }
}

void updateFrame() {
  clampPaddles();
  updateBalls();
  approachTargets();
  benchmark::DoNotOptimize(countBalls());
}

void BM_UpdateFrame(benchmark::State& state) {
  const int ballCount = static_cast<int>(state.range(0));
  RecordingRenderer renderer(false);
  SetRenderer(&renderer);
  setUpGame(ballCount);
  for (auto _ : state) updateFrame();
  state.counters["live_balls"] = countBalls().normalBallCount;
}
BENCHMARK(BM_UpdateFrame)->Arg(0)->Arg(1601)->Unit(benchmark::kMicrosecond);

void BM_DrawFrame(benchmark::State& state) {
  BenchWindow window(state);
  if (!window.Open()) return;
  setUpGame(static_cast<int>(state.range(0)));
  window.MakeCurrent();
  game.zoom = 0.7;
  for (auto _ : state) {
    setViewTransform();
    drawBackdrop();
    drawArena();
    drawBalls();
    window.Finish();
    ClearFrame();
  }
}
BENCHMARK(BM_DrawFrame)->Arg(0)->Arg(1601)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace fenwhit
