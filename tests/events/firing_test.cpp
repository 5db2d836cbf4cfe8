// Shots and sparks from the paddle ends, through the real frame loop.
#include <set>

#include "events/pool_fixture.h"

namespace fenwhit {
namespace {

class FiringTest : public PoolTest {
 protected:
  void SetUp() override {
    PoolTest::SetUp();
    PlaceBall(0, BallKind::Normal, 600, 300);
    game.twoPaddles = 1;
    game.shotCooldown = 0;
    game.paddleY[0] = 100;
    game.paddleY[1] = 400;
  }
  std::set<float> ShotHeights() const {
    std::set<float> heights;
    for (int32_t i = 0; i <= kPoolLast; ++i) {
      if (shots[i].alive != 0) heights.insert(shots[i].y);
    }
    return heights;
  }
};

TEST_F(FiringTest, TwoPaddlesFiringTogetherShootOnlyFromPaddleOne) {
  platform.Press(scan::kA);
  platform.Press(scan::kLeft);
  RunFrames(30);
  EXPECT_EQ(LiveIn(shots), 10);  // five volleys of two
  EXPECT_EQ(ShotHeights(), (std::set<float>{100, 260}));
}

TEST_F(FiringTest, EachPaddleFiresFromBothItsEndsWithSparks) {
  platform.Press(scan::kLeft);
  RunFrames(1);
  EXPECT_EQ(ShotHeights(), (std::set<float>{400, 560}));
  EXPECT_EQ(shots[0].x, 110.0f);
  EXPECT_EQ(Plays(sound::kShot), 1);
  // Four sparks at each end, plus the ball's trail.
  int atEnds = 0;
  for (int32_t i = 0; i <= particleLast; ++i) {
    const Particle& p = particles[i];
    atEnds += p.alive == 1 && p.x == 110 && (p.y == 400 || p.y == 560);
  }
  EXPECT_EQ(atEnds, 8);
  RunFrames(1);
  EXPECT_EQ(shots[0].x, 100.0f);
}

}  // namespace
}  // namespace fenwhit
