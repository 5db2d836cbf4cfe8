// The frame loop at 60 frames a second on the real clock, drawn by the recording
// renderer so that only the game's own work and its wait count: the main thread's
// processor time per second of play, and how late each frame starts against its due
// time (the previous start plus the frame period), with how late the machine's sleeps
// woke at worst.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "game/balls.h"
#include "game/frame_loop.h"
#include "gfx/recording_renderer.h"
#include "gfx/renderer.h"
#include "support/game_in_play.h"
#include "thread_time.h"

namespace fenwhit {
namespace {

// The scripted platform on the machine's own clock and sleeps.
class RealClockPlatform : public TestPlatform {
 public:
  double Clock() override {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
  }
  void SleepMs(int milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  void SleepUntil(double deadline) override {
    using namespace std::chrono;
    std::this_thread::sleep_until(steady_clock::time_point(
        duration_cast<steady_clock::duration>(duration<double>(deadline))));
    worstLateWake = std::max(worstLateWake, Clock() - deadline);
  }

  double worstLateWake = 0;
};

void BM_PlayingAtSixtyFrames(benchmark::State& state) {
  RecordingRenderer renderer(false);
  SetRenderer(&renderer);
  StartGameInPlay(5);
  RealClockPlatform platform;
  SetPlatform(&platform);
  for (int i = 0; i < 20; ++i) spawnBall(600 + 20 * i, 100 + 25 * i);
  constexpr double kPeriod = 0.0166;
  constexpr int kFrames = 120;
  double busy = 0;
  double wall = 0;
  std::vector<double> lateness;
  for (auto _ : state) {
    const double cpuStart = ThreadSeconds();
    const double wallStart = platform.Clock();
    double previous = wallStart;
    for (int frame = 0; frame < kFrames; ++frame) {
      runFrame();
      const double start = platform.Clock();
      // runFrame returns right after its wait and the short input steps.
      if (frame > 0) lateness.push_back(start - (previous + kPeriod));
      previous = start;
    }
    busy += ThreadSeconds() - cpuStart;
    wall += platform.Clock() - wallStart;
  }
  state.counters["cpu_share"] = busy / wall;
  // The worst alone says more about the machine than the wait: a virtual machine's
  // processors are sometimes taken away for a millisecond or more.
  std::sort(lateness.begin(), lateness.end());
  const auto share = [&](double seconds) {
    const auto late = lateness.end() - std::upper_bound(lateness.begin(), lateness.end(), seconds);
    return static_cast<double>(late) / static_cast<double>(lateness.size());
  };
  state.counters["median_late_ms"] = lateness[lateness.size() / 2] * 1000;
  state.counters["p99_late_ms"] = lateness[lateness.size() * 99 / 100] * 1000;
  state.counters["worst_late_ms"] = lateness.back() * 1000;
  state.counters["share_over_0.2ms"] = share(0.0002);
  state.counters["worst_late_wake_ms"] = platform.worstLateWake * 1000;
}
BENCHMARK(BM_PlayingAtSixtyFrames)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace fenwhit
