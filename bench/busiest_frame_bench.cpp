// The busiest frame that the simulation of whole games met (the most sprites, glyphs,
// rectangles and lines), drawn again from its saved state through the whole frame loop
// into an offscreen 1280 x 720 window, against an empty frame of the same game.
// The simulation keeps it in the build folder (the Simulation.wholeGames test, or
// `fenwhit_sim --capture FILE`); FENWHIT_BUSIEST_FRAME names another file.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "bench_window.h"
#include "events/effect_pools.h"
#include "game/balls.h"
#include "game/frame_loop.h"
#include "support/frame_snapshot.h"
#include "support/game_in_play.h"

namespace fenwhit {
namespace {

std::string SnapshotPath() {
  const char* path = std::getenv("FENWHIT_BUSIEST_FRAME");
  return path != nullptr ? path : std::string(FENWHIT_BINARY_DIR) + "/busiest_frame.bin";
}

// First argument 1: the busiest frame; 0: the same game with its pools emptied. Second
// argument 1: the game's batched renderer; 0: the immediate one, for comparison.
void BM_BusiestFrame(benchmark::State& state) {
  BenchWindow window(state);
  if (!window.Open()) return;
  StartGameInPlay(3);
  TestPlatform clock;  // virtual, so the frame's wait is no wait
  const std::string path = SnapshotPath();
  static testing::FrameSnapshot frame;
  if (!frame.Load(path)) {
    state.SkipWithError(("no frame saved by this build in " + path).c_str());
    return;
  }
  frame.Restore();
  const bool busiest = state.range(0) == 1;
  if (!busiest) {
    clearPools();
    clearBalls();
    spawnBall(600, 300);
  }
  frame.Take();
  window.MakeCurrent(state.range(1) == 1 ? BenchWindow::Kind::kBatched
                                         : BenchWindow::Kind::kImmediate);
  SetPlatform(&clock);
  for (auto _ : state) {
    state.PauseTiming();
    frame.Restore();
    state.ResumeTiming();
    runFrame();
    window.Finish();
  }
}
BENCHMARK(BM_BusiestFrame)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace fenwhit
