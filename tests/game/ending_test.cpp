// Score, bonus lives and the ending, driven through whole frames of the loop.
#include "game/game_fixture.h"
#include "game/scoring.h"

namespace fenwhit {
namespace {

class EndingTest : public GameTest {
 protected:
  // A normal ball standing still in the middle of the arena keeps the game going.
  void SetUp() override {
    GameTest::SetUp();
    PlaceBall(0, BallKind::Normal, 600, 300);
  }
};

TEST_F(EndingTest, OneBallEarnsThirteenPointsPerFrame) {
  RunFrames(10);
  EXPECT_EQ(game.score, 130);
  // Each more normal ball adds 6, each ghost right of the paddle line 3.
  PlaceBall(1, BallKind::Normal, 700, 300);
  PlaceBall(2, BallKind::Ghost, 800, 300);
  PlaceBall(3, BallKind::Ghost, 50, 300);
  RunFrames(1);
  EXPECT_EQ(game.score, 130 + 22);
}

TEST_F(EndingTest, EachBonusThresholdGivesOneLifeOnce) {
  game.score = 449999;
  awardBonusLives();
  EXPECT_EQ(game.lives, 4);
  game.score = 600001;
  awardBonusLives();
  awardBonusLives();
  EXPECT_EQ(game.lives, 6);
  // Passing a threshold, not reaching it, counts.
  game.score = 800000;
  awardBonusLives();
  EXPECT_EQ(game.lives, 6);
}

TEST_F(EndingTest, LosingTheLastNormalBallEndsTheGameWithLivesLeft) {
  PlaceBall(1, BallKind::Normal, 700, 300);
  balls[0] = Ball{BallKind::Normal, 1, 600, -2, 0, 0, 0};
  RunFrames(1);
  EXPECT_EQ(game.lives, 1);
  EXPECT_EQ(game.gameOver, 0);
  const int32_t scoreBefore = game.score;
  balls[1] = Ball{BallKind::Normal, 1, 600, -2, 0, 0, 0};
  RunFrames(1);
  EXPECT_EQ(game.gameOver, 1);
  EXPECT_EQ(game.lives, -1);
  EXPECT_EQ(game.lastScore, scoreBefore);
  EXPECT_EQ(Plays(sound::kExplosion), 1);
  // The walls fly apart and the view shrinks away.
  EXPECT_EQ(game.wallTopTarget, -12000);
  EXPECT_EQ(game.wallRightTarget, 12000);
  EXPECT_EQ(game.wallStep, 14);
  EXPECT_DOUBLE_EQ(game.zoomTarget, 0.05);
  // No more points or cancels during the ending.
  RunFrames(5);
  EXPECT_EQ(game.score, scoreBefore);
  platform.Press(scan::kSpace);
  RunFrames(2);
  EXPECT_EQ(game.cancels, 2);
}

TEST_F(EndingTest, WithNoLivesLeftTheGameGoesOnUntilTheNextLoss) {
  game.lives = 0;
  PlaceBall(1, BallKind::Normal, 700, 300);
  RunFrames(3);
  EXPECT_EQ(game.gameOver, 0);
  // One of two balls lost ends it.
  balls[1] = Ball{BallKind::Normal, 1, 600, -2, 0, 0, 0};
  RunFrames(1);
  EXPECT_EQ(game.gameOver, 1);

  // So does a chaos ball caught by a paddle, still with its sound.
  resetGameState();
  game.lives = 0;
  game.paddleY[0] = 300;
  PlaceBall(1, BallKind::Chaos, 130, 350, -10, 0);
  const int lostBefore = Plays(sound::kBallLost);
  RunFrames(1);
  EXPECT_EQ(game.gameOver, 1);
  EXPECT_EQ(Plays(sound::kBallLost), lostBefore + 1);
}

TEST_F(EndingTest, AGameLostOnItsFirstBallScoresThirteenPerFrame) {
  balls[0] = Ball{BallKind::Normal, 400, 600, -4, 0, 0, 0};
  game.paddleY[0] = 10;
  const int frames = RunFrames(1000);
  EXPECT_EQ(frames, 101 + 401 - 1);
  EXPECT_EQ(game.lastScore, 100 * 13);
}

TEST_F(EndingTest, LossEndsAfterFourHundredFramesEscAfterOneHundred) {
  balls[0].vx = -700;
  EXPECT_EQ(RunFrames(1000), 401);
  EXPECT_EQ(game.gameOverFrames, 401);

  resetGameState();
  PlaceBall(0, BallKind::Normal, 600, 300);
  platform.Press(scan::kEsc);
  RunFrames(1);
  EXPECT_EQ(game.gameOverFrames, 300);
  EXPECT_EQ(game.cancels, -1);
  // Holding Esc through the ending changes nothing.
  EXPECT_EQ(RunFrames(1000), 101);
  EXPECT_EQ(game.lastScore, 13);
}

TEST_F(EndingTest, EndingTurnsTheArenaAndFadesTheMusicOut) {
  musicVolume.store(100);
  game.lives = -1;
  RunFrames(3);
  EXPECT_EQ(game.gameOverFrames, 3);
  EXPECT_FLOAT_EQ(game.tiltTarget, 3.0f);
  // Up once in the frame the ending began, down in all three.
  EXPECT_EQ(musicVolume.load(), 98);
  // The red flash is taken back at the top of the next frame early in a game.
  EXPECT_EQ(game.bgColour[0], 128);

  // From the fourteenth event on it stays, and fades back by 10 a frame.
  resetGameState();
  game.eventCount = 14;
  game.lives = -1;
  RunFrames(1);
  EXPECT_EQ(std::vector<int32_t>(game.bgColour, game.bgColour + 3),
            (std::vector<int32_t>{255, 0, 0}));
  RunFrames(2);
  EXPECT_EQ(std::vector<int32_t>(game.bgColour, game.bgColour + 3),
            (std::vector<int32_t>{235, 20, 20}));
}

}  // namespace
}  // namespace fenwhit
