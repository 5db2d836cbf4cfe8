// The timedemo's timing: each frame is finished before the clock is read, so its time is
// its drawing; the report's figures and the per-frame file agree with the frames drawn.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "events/effect_pools.h"
#include "events/pool_records.h"
#include "game/balls.h"
#include "game/game_state.h"
#include "platform/test_platform.h"
#include "replay/shown_frame.h"
#include "replay/timedemo_platform.h"

namespace fenwhit {
namespace {

// A machine whose drawing is queued at the swap and done only when it is finished, as a
// graphics driver's is; the timedemo's clock, its finishes and swaps are logged in order.
class QueuingMachine : public TestPlatform {
 public:
  void SwapBuffers() override {
    TestPlatform::SwapBuffers();
    log += 's';
    queued += costs.at(frame++);
  }
  void FinishDrawing() override {
    log += 'f';
    now += queued;
    queued = 0.0;
  }
  double ReadClock() {
    log += 'c';
    return now;
  }

  std::vector<double> costs;
  size_t frame = 0;
  double queued = 0.0;
  double now = 100.0;
  std::string log;
};

std::vector<double> FramesOf(std::initializer_list<std::pair<int, double>> runs) {
  std::vector<double> frames;
  for (const auto& [count, seconds] : runs) frames.insert(frames.end(), count, seconds);
  return frames;
}

TEST(Timedemo, EachFrameIsTimedUntilItIsDrawnAndReportedWithItsPercentiles) {
  QueuingMachine machine;
  // 991 quick frames, nine slow ones over the period and one very slow, late in the run.
  machine.costs = FramesOf({{600, 0.005}, {9, 0.020}, {390, 0.005}, {1, 0.050}, {1, 0.005}});
  int described = 0;
  TimedemoPlatform timedemo(
      machine, [&machine] { return machine.ReadClock(); },
      [&described] { return "shown=" + std::to_string(++described); });
  machine.queued = 0.3;  // the loading's drawing, not a frame's
  timedemo.DiscardKeyPress();
  for (size_t i = 0; i < machine.costs.size(); ++i) timedemo.SwapBuffers();

  // Every clock read comes after the drawing before it is finished.
  std::string expected = "fc";
  for (size_t i = 0; i < machine.costs.size(); ++i) expected += "sfcc";
  EXPECT_TRUE(machine.log == expected) << machine.log.substr(0, 24) << "...";

  const std::vector<double>& frames = timedemo.FrameSeconds();
  ASSERT_EQ(frames.size(), machine.costs.size());
  for (size_t i = 0; i < frames.size(); ++i) {
    ASSERT_NEAR(frames[i], machine.costs[i], 1e-9) << "frame " << i + 1;
  }

  std::ostringstream report;
  timedemo.Report(report);
  EXPECT_NE(report.str().find("1001 frames in 5.1"), std::string::npos) << report.str();
  EXPECT_NE(report.str().find("median 5.000 ms, 99th percentile 5.000 ms, 99.9th percentile "
                              "20.000 ms, worst 50.000 ms (frame 1000), 10 over 16.7 ms"),
            std::string::npos)
      << report.str();

  std::istringstream file([&timedemo] {
    std::ostringstream out;
    timedemo.WriteFrames(out);
    return out.str();
  }());
  std::string line;
  std::vector<std::string> lines;
  while (std::getline(file, line)) lines.push_back(line);
  ASSERT_EQ(lines.size(), machine.costs.size());
  EXPECT_EQ(lines[0], "1 5.000 shown=1");
  EXPECT_EQ(lines[601], "602 20.000 shown=602");
  EXPECT_EQ(lines[999], "1000 50.000 shown=1000");
}

TEST(Timedemo, NoFramesAndFramesWithoutADescriptionAreReportedPlainly) {
  QueuingMachine machine;
  machine.costs = {0.004, 0.030};
  TimedemoPlatform timedemo(machine, [&machine] { return machine.ReadClock(); });
  std::ostringstream none;
  timedemo.Report(none);
  EXPECT_EQ(none.str(), "timedemo: no frames were drawn\n");

  timedemo.DiscardKeyPress();
  timedemo.SwapBuffers();
  timedemo.SwapBuffers();
  std::ostringstream file;
  timedemo.WriteFrames(file);
  EXPECT_EQ(file.str(), "1 4.000\n2 30.000\n");
  std::ostringstream report;
  timedemo.Report(report);
  EXPECT_NE(report.str().find("worst 30.000 ms (frame 2), 1 over"), std::string::npos)
      << report.str();
}

TEST(Timedemo, AFrameIsDescribedByItsEventTitleAndThePoolsCounts) {
  clearPools();
  clearBalls();
  const std::string_view title = game.eventTitle;
  game.eventTitle = {};
  EXPECT_EQ(DescribeShownFrame(),
            "title=- balls=0 obstacles=0 bricks=0 invaders=0 shots=0 particles=0");

  game.eventTitle = "   FEEL  THE BEAT ";
  spawnBall(300, 300);
  spawnGhostBall(400, 300);
  spawnShot(500, 200);
  spawnSparks(600, 400, 2);
  spawnInvader(100, 100);
  EXPECT_EQ(DescribeShownFrame(),
            "title=FEEL_THE_BEAT balls=2 obstacles=0 bricks=0 invaders=1 shots=1 particles=3");
  clearPools();
  clearBalls();
  game.eventTitle = title;
}

}  // namespace
}  // namespace fenwhit
