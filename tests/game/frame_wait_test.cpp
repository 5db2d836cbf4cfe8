// The frame wait sleeps through most of the frame period and watches the clock only
// for its last stretch, at the normal and at the slow period alike; the stretch follows
// how late the sleeps wake.
#include "game/frame_wait.h"

#include <vector>

#include "game/game_fixture.h"

namespace fenwhit {
namespace {

class WatchedClock : public TestPlatform {
 public:
  double Clock() override {
    ++reads;
    return TestPlatform::Clock();
  }
  void SleepUntil(double deadline) override {
    deadlines.push_back(deadline);
    TestPlatform::SleepUntil(deadline + lateWake);
  }
  int reads = 0;
  double lateWake = 0;
  std::vector<double> deadlines;
};

class FrameWaitTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    SetPlatform(&clock);
    PlaceBall(0, BallKind::Normal, 600, 300);
  }
  // Virtual seconds from one frame's start to the next, and the clock reads between.
  double FrameLength(int& reads) {
    RunFrames(1);
    const double start = clock.Now();
    clock.reads = 0;
    RunFrames(1);
    reads = clock.reads;
    return clock.Now() - start;
  }
  WatchedClock clock;
};

TEST_F(FrameWaitTest, SleepsThenSpinsOnlyTheLastStretch) {
  for (int32_t slow : {0, 1}) {
    game.slowFrames = slow;
    const double period = slow == 1 ? 0.0866 : 0.0166;
    int reads = 0;
    const double length = FrameLength(reads);
    EXPECT_GT(length, period) << "slow " << slow;
    EXPECT_LT(length, period + 0.0015) << "slow " << slow;
    // Half a millisecond at the test clock's half-millisecond steps, and the start.
    EXPECT_LE(reads, 4) << "slow " << slow;
    ASSERT_FALSE(clock.deadlines.empty());
    EXPECT_NEAR(clock.deadlines.back() - (clock.Now() - length), period - 0.0005, 0.0011);
  }
}

TEST(FrameWaitAlone, WatchesLongerAfterLateWakesThenNarrowsAgain) {
  WatchedClock clock;
  clock.SetClockStep(0.0001);
  FrameWait wait;
  const auto frame = [&] {
    const double start = clock.Now();
    wait.Wait(clock, start, 0.0166);
    return clock.Now() - start;
  };
  clock.lateWake = 0.0012;
  for (int i = 0; i < 3; ++i) EXPECT_LT(frame(), 0.0166 + 0.0015);
  // The late wake as measured (one clock step more) and a margin.
  EXPECT_NEAR(wait.SpinTime(), 0.0015, 1e-6);
  // Even a wake later than the longest stretch only costs that one frame.
  clock.lateWake = 0.01;
  frame();
  EXPECT_EQ(wait.SpinTime(), FrameWait::kLongestSpin);
  clock.lateWake = 0;
  const size_t sleeps = clock.deadlines.size();
  for (int i = 0; i < 300; ++i) EXPECT_LT(frame(), 0.0166 + 0.0006);
  EXPECT_EQ(clock.deadlines.size(), sleeps + 300);
  EXPECT_EQ(wait.SpinTime(), FrameWait::kShortestSpin);
}

}  // namespace
}  // namespace fenwhit
