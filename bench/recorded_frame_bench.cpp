// The slowest frame of the longest recorded game (tests/replays/one-1366-long: xenon glows
// round five obstacles, a thousand particles, a title), caught as the game drew it and drawn
// again by each renderer into the benchmark window. Machines differ, and so does their load:
// each figure is also given as a ratio to a fixed reference drawn in the same run (ten
// translucent quads over the whole window), in the counter per_reference.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "bench_window.h"
#include "gfx/draw.h"
#include "support/recorded_frames.h"

namespace fenwhit {
namespace {

constexpr int64_t kSlowFrame = 4640;

const testing::RecordedFrames& Caught() {
  static const testing::RecordedFrames caught = testing::CatchFrames(
      std::string(FENWHIT_SOURCE_DIR) + "/tests/replays/one-1366-long.fwreplay", {kSlowFrame});
  return caught;
}

double Seconds(const std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of several: the least disturbed by other work on the machine.
double ReferenceSeconds(BenchWindow& window) {
  double best = 1e9;
  for (int round = 0; round < 7; ++round) {
    const auto start = std::chrono::steady_clock::now();
    ClearFrame();
    SetBlendAlpha();
    for (int i = 0; i < 10; ++i) {
      SetColor(40 + 20 * i, 90, 200 - 15 * i, 100);
      FillRect(0, 0, 1366, 768);
    }
    window.Finish();
    best = std::min(best, Seconds(start));
  }
  return best;
}

// Argument 1: the game's batched renderer; 2: the same with every sprite drawn whole,
// transparent margins too; 0: the immediate one.
void BM_SlowestRecordedFrame(benchmark::State& state) {
  const testing::RecordedFrames& caught = Caught();
  if (!caught.error.empty() || caught.frames.empty()) {
    state.SkipWithError(("the recorded game did not play back: " + caught.error).c_str());
    return;
  }
  BenchWindow window(state);
  if (!window.Open()) return;
  const testing::RecordedFrame& frame = caught.frames.front();
  window.MakeCurrent(
      state.range(0) == 0 ? BenchWindow::Kind::kImmediate : BenchWindow::Kind::kBatched,
      frame.width, frame.height);
  window.UseSpriteOutlines(state.range(0) == 1);
  const double reference = ReferenceSeconds(window);
  double spent = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    ClearFrame();
    testing::DrawRecordedFrame(frame, caught.pictures, pictures);
    window.Finish();
    spent += Seconds(start);
  }
  state.counters["per_reference"] = spent / static_cast<double>(state.iterations()) / reference;
}
BENCHMARK(BM_SlowestRecordedFrame)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace fenwhit
