// Keys and buttons as the frame loop reads them, one look per frame.
#include "game/game_fixture.h"
#include "platform/exit.h"

namespace fenwhit {
namespace {

class InputTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    PlaceBall(0, BallKind::Normal, 600, 300);
  }
  // Frames (out of `count`) in which a shot was fired.
  int ShotsIn(int count) {
    int shots = 0;
    for (int frame = 0; frame < count; ++frame) {
      RunFrames(1);
      if (game.shotCooldown == 6) ++shots;
    }
    return shots;
  }
};

TEST_F(InputTest, HeldCancelUsesOneCancelUntilReleased) {
  platform.Press(scan::kSpace);
  RunFrames(5);
  EXPECT_EQ(game.cancels, 1);
  EXPECT_EQ(game.eventNumber, -1);
  EXPECT_EQ(game.eventTitle, "      NO WAY!");
  EXPECT_EQ(Plays(sound::kNoWay), 1);
  EXPECT_EQ(audio.CallsOf("play").back().channel, sound::kAnnouncementChannel);

  // The left button alone cancels too, once released and pressed again.
  platform.Release(scan::kSpace);
  RunFrames(1);
  platform.SetMouse({0, 0, 0, 1});
  RunFrames(3);
  EXPECT_EQ(game.cancels, 0);

  platform.SetMouse({});
  RunFrames(1);
  platform.Press(scan::kSpace);
  RunFrames(2);
  EXPECT_EQ(game.cancels, 0);
  EXPECT_EQ(Plays(sound::kNoWay), 2);
}

TEST_F(InputTest, BothButtonsNeitherCancelNorFire) {
  game.twoPaddles = 0;
  platform.SetMouse({0, 0, 0, 3});
  EXPECT_EQ(ShotsIn(10), 0);
  EXPECT_EQ(game.cancels, 2);
  platform.SetMouse({0, 0, 0, 2});
  EXPECT_EQ(ShotsIn(8), 2);
}

TEST_F(InputTest, HoldingFireForSeventyFramesFiresTenTimes) {
  game.twoPaddles = 0;
  game.shotCooldown = 0;
  platform.Press(scan::kZ);
  EXPECT_EQ(ShotsIn(70), 10);
}

TEST_F(InputTest, TwoPaddleFireKeysShareOneCooldown) {
  game.twoPaddles = 1;
  game.shotCooldown = 0;
  platform.Press(scan::kA);
  platform.Press(scan::kLeft);
  EXPECT_EQ(ShotsIn(70), 10);
  // Z and the mouse fire only with one paddle.
  platform.ReleaseAll();
  platform.Press(scan::kZ);
  platform.SetMouse({0, 0, 0, 2});
  EXPECT_EQ(ShotsIn(20), 0);
}

TEST_F(InputTest, PaddleMovesOneStepEachWayPerFrame) {
  game.twoPaddles = 0;
  game.paddleY[0] = 300;
  platform.Press(scan::kUp);
  platform.Press(scan::kK);
  platform.Press(scan::kW);
  RunFrames(1);
  EXPECT_EQ(game.paddleY[0], 282);
  platform.Press(scan::kM);
  RunFrames(1);
  EXPECT_EQ(game.paddleY[0], 282);
  platform.ReleaseAll();
  platform.Press(scan::kS);
  RunFrames(2);
  EXPECT_EQ(game.paddleY[0], 318);
}

TEST_F(InputTest, TwoPaddlesHaveTheirOwnKeys) {
  game.twoPaddles = 1;
  game.paddleY[0] = 300;
  game.paddleY[1] = 400;
  platform.Press(scan::kW);
  platform.Press(scan::kDown);
  platform.Press(scan::kK);
  RunFrames(1);
  EXPECT_EQ(game.paddleY[0], 282);
  EXPECT_EQ(game.paddleY[1], 418);
}

TEST_F(InputTest, PaddlePushedAboveTheWallIsBackBeforeBallsAreTested) {
  game.twoPaddles = 0;
  game.paddleY[0] = 10;
  platform.Press(scan::kUp);
  RunFrames(1);
  EXPECT_EQ(game.paddleY[0], -8);
  platform.ReleaseAll();
  // Inside the zone of the clamped paddle (up to 182), outside that of the raised one.
  Ball& ball = PlaceBall(1, BallKind::Normal, 130, 175, -10, 0);
  RunFrames(1);
  EXPECT_EQ(game.paddleY[0], 10);
  EXPECT_EQ(ball.vx, 10.0f);
}

TEST_F(InputTest, WindowCloseExitsTheProgram) {
  platform.RequestClose();
  try {
    RunFrames(1);
    FAIL() << "the close request was ignored";
  } catch (const ProgramExit& exit) {
    EXPECT_EQ(exit.status, 0);
  }
}

}  // namespace
}  // namespace fenwhit
