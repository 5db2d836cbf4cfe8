// What each event does to the game, applied the way the cycle applies it.
#include "events/event_apply.h"
#include "events/pool_fixture.h"

namespace fenwhit {
namespace {

class EventEffectTest : public PoolTest {
 protected:
  void Apply(int32_t number, int times = 1) {
    for (int i = 0; i < times; ++i) {
      game.eventNumber = number;
      applyEvent();
    }
  }
  static int BallsOf(BallKind kind) {
    int count = 0;
    for (const Ball& ball : balls) count += ball.kind == kind;
    return count;
  }
};

TEST_F(EventEffectTest, RepeatedEventsStopAtTheirLimits) {
  // Paddle length: 148, 136, ..., 28, then 12, which stays.
  Apply(2, 11);
  EXPECT_EQ(game.paddleLengthTarget, 28);
  Apply(2);
  EXPECT_EQ(game.paddleLengthTarget, 12);
  Apply(2);
  EXPECT_EQ(game.paddleLengthTarget, 12);

  for (int32_t speed : {15, 12, 9, 6, 3, 3}) {
    Apply(13);
    EXPECT_EQ(game.paddleSpeed, speed);
  }

  Apply(19, 4);
  EXPECT_EQ(game.wallRightTarget, 1170 + 3 * 600);
  EXPECT_EQ(game.corridorCount, 3);

  Apply(18, 2);
  EXPECT_EQ(LiveIn(obstacles), 1);
  EXPECT_EQ(obstacles[0].left, -800);
  EXPECT_EQ(obstacles[0].bottom, 4000);

  game.wallRightTarget = 410;
  Apply(8, 2);
  EXPECT_EQ(game.wallRightTarget, 290);
  Apply(8);
  EXPECT_EQ(game.wallRightTarget, 290);
}

TEST_F(EventEffectTest, RotateArenaTurnsByEighthsAndWraps) {
  game.zoomTarget = 0.9;
  game.zoomShrink = 0.05;
  Apply(4);
  EXPECT_EQ(game.tiltTarget, 45);
  EXPECT_DOUBLE_EQ(game.zoomTarget, 0.65);
  EXPECT_EQ(game.tiltStep, 5.0f);
  Apply(4, 2);
  game.zoomTarget = 0.33;  // left alone at exactly half a turn
  Apply(4);
  EXPECT_EQ(game.tiltTarget, 180);
  EXPECT_DOUBLE_EQ(game.zoomTarget, 0.33);
  Apply(4);
  EXPECT_EQ(game.tiltTarget, 225);
  EXPECT_DOUBLE_EQ(game.zoomTarget, 0.65);
  Apply(4, 2);
  game.zoomTarget = 0.33;
  Apply(4);
  EXPECT_EQ(game.tiltTarget, 360);
  EXPECT_DOUBLE_EQ(game.zoomTarget, 0.33);
  Apply(4);
  EXPECT_EQ(game.tiltTarget, 45);
}

TEST_F(EventEffectTest, BallEventsKeepTheirShapeAndFillAFullPoolNoFurther) {
  PlaceBall(0, BallKind::Normal, 500, 300, 0, -3);
  PlaceBall(1, BallKind::Ghost, 500, 300, 2.5f, 0.5f);
  Apply(3);
  EXPECT_EQ(game.ballSpeed, 3.0f);
  EXPECT_EQ(balls[0].vx, 0);
  EXPECT_EQ(balls[0].vy, -4);
  EXPECT_EQ(balls[1].vx, 3.5f);
  EXPECT_EQ(balls[1].vy, 1.5f);

  Apply(9);  // S = 3: both components in [-8, 5)
  for (int i = 0; i < 2; ++i) {
    EXPECT_GE(balls[i].vx, -8);
    EXPECT_LT(balls[i].vy, 5);
  }

  Apply(5);
  EXPECT_EQ(balls[4].y, game.wallTop + 60);
  Apply(14);
  EXPECT_EQ(BallsOf(BallKind::Chaos), 3);
  Apply(21);
  Apply(12);
  EXPECT_EQ(BallsOf(BallKind::Normal), 4);
  EXPECT_EQ(balls[18].x, game.wallRight - 40);

  // Fifty ghosts into a pool with ten free slots: ten arrive, the rest are dropped.
  game.ballLast = 29;
  Apply(46);
  EXPECT_EQ(BallsOf(BallKind::Ghost), 3 + 10);
  EXPECT_EQ(balls[30].kind, BallKind::Free);
}

TEST_F(EventEffectTest, TransmutationStartsAfterTheFirstNormalBall) {
  PlaceBall(0, BallKind::Ghost, 600, 300);
  PlaceBall(2, BallKind::Normal, 600, 300);
  PlaceBall(3, BallKind::Normal, 600, 300);
  PlaceBall(5, BallKind::Bogus, 115, 300);  // at the paddle line: kept
  for (int i = 6; i <= 40; ++i) PlaceBall(i, BallKind::Bogus, 600, 300);
  PlaceBall(41, BallKind::Bogus, 600, 300);  // beyond the last slot walked
  game.ballLast = 40;
  Apply(15);
  EXPECT_EQ(balls[0].kind, BallKind::Ghost);
  EXPECT_EQ(balls[2].kind, BallKind::Normal);
  EXPECT_EQ(balls[5].kind, BallKind::Bogus);
  EXPECT_EQ(balls[41].kind, BallKind::Bogus);
  int kinds[4] = {};
  for (int i = 6; i <= 40; ++i) {
    ASSERT_NE(balls[i].kind, BallKind::Bogus);
    ++kinds[static_cast<int>(balls[i].kind)];
  }
  EXPECT_GT(kinds[2], kinds[1]);
  EXPECT_GT(kinds[2], kinds[3]);
}

TEST_F(EventEffectTest, PoolEventsBuildTheirFormations) {
  Apply(11);
  ASSERT_EQ(LiveIn(invaders), 128);
  EXPECT_EQ(invaders[0].x, -1200);
  EXPECT_EQ(invaders[15].x, -600);
  EXPECT_EQ(invaders[16].y, 240);
  EXPECT_EQ(invaders[127].y, 480);

  // Ten rows of eight up to the right wall at 1170; the colour brightens by 3 a brick.
  Apply(22);
  ASSERT_EQ(LiveIn(bricks), 80);
  EXPECT_EQ(bricks[7].x, 1048);
  EXPECT_EQ(bricks[79].y, 388);
  for (int i = 1; i < 80; ++i) {
    const float step = bricks[i].red - bricks[i - 1].red;
    ASSERT_TRUE(step == 3 || (step == 0 && bricks[i].red >= 251) ||
                (bricks[i - 1].red < 251 && bricks[i].red >= 251))
        << i;
  }
  // Whatever colour a wall starts from, it stops rising at 251 to 253.
  for (int wall = 0; wall < 6; ++wall) {
    clearPools();
    Apply(22);
    const Brick& last = bricks[79];
    for (auto component : {last.red, last.green, last.blue}) {
      EXPECT_TRUE(component >= 251 && component <= 253) << component;
    }
  }
}

TEST_F(EventEffectTest, ZoomZoomZoomReturnsAtTheNextApplicationEvenInTheNextGame) {
  game.zoom = 0.7;
  game.zoomShrink = 0.05;
  Apply(17);
  EXPECT_DOUBLE_EQ(game.zoomTarget, 0.2);
  // Walls expand as the second event of the same cycle: back first, then out.
  Apply(6);
  EXPECT_EQ(game.zoomZoomActive, 0);
  EXPECT_DOUBLE_EQ(game.zoomTarget, 0.7 - 0.1);
  EXPECT_DOUBLE_EQ(game.zoomStep, 0.02);
  EXPECT_EQ(game.wallTopTarget, 10 - 80);

  game.zoom = 0.6;
  Apply(17);
  resetGameState();
  Apply(0);
  EXPECT_DOUBLE_EQ(game.zoomTarget, 0.6);
  EXPECT_EQ(game.zoomZoomActive, 0);
}

TEST_F(EventEffectTest, LastingModesAndTheOneCycleModes) {
  // A frame lasts 16.6 ms, 86.6 ms while the slow frames last.
  PlaceBall(0, BallKind::Normal, 600, 300);
  auto framePeriod = [this] {
    const double start = platform.Now();
    RunFrames(1);
    return platform.Now() - start;
  };
  EXPECT_NEAR(framePeriod(), 0.0166, 0.0011);
  Apply(27);
  EXPECT_EQ(game.slowFrames, 1);
  EXPECT_NEAR(framePeriod(), 0.0866, 0.0011);
  Apply(28);
  EXPECT_EQ(game.slowFrames, 0);
  EXPECT_NEAR(framePeriod(), 0.0166, 0.0011);
  EXPECT_EQ(game.ballsFrozen, 1);
  Apply(23);
  EXPECT_EQ(game.ballsFrozen, 0);
  EXPECT_DOUBLE_EQ(game.squeezeYTarget, 0.42);
  Apply(24);
  EXPECT_DOUBLE_EQ(game.squeezeYTarget, 0);
  EXPECT_DOUBLE_EQ(game.squeezeXTarget, -1.4);

  Apply(30);
  EXPECT_DOUBLE_EQ(game.squeezeXTarget, 0);
  Apply(41, 2);
  Apply(43);
  Apply(42);
  EXPECT_EQ(game.ballSkin, 2);
  EXPECT_FLOAT_EQ(game.ballScaleAdd, 0.8f);
  EXPECT_DOUBLE_EQ(game.glowScale, 4.0);
  EXPECT_EQ(game.flashColours, 1);

  for (int i = 0; i < 50; ++i) {
    Apply(20);
    ASSERT_TRUE(game.blackHoleX >= 300 && game.blackHoleX <= 1200);
    ASSERT_TRUE(game.blackHoleY >= 0 && game.blackHoleY <= 700);
    Apply(44);
    for (int32_t offset : game.hudJitter) ASSERT_TRUE(offset >= -200 && offset <= 400);
  }
  EXPECT_EQ(game.blackHoleOn, 1);

  // The eighth and ninth cycles spin the arena slowly.
  game.eventCount = 8;
  Apply(0);
  EXPECT_FLOAT_EQ(game.spinSpeed, 0.03f);
  game.eventCount = 9;
  Apply(-1);
  EXPECT_FLOAT_EQ(game.spinSpeed, 0.04f);
  for (float period : game.wavePeriod) EXPECT_TRUE(period >= 50 && period < 150);
}

}  // namespace
}  // namespace fenwhit
