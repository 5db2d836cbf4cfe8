// Starting, ending and leaving whole games.
#include "app/display.h"
#include "app/paths.h"
#include "events/pool_records.h"
#include "game/game_fixture.h"

namespace fenwhit {
namespace {

class GameFlowTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    SetDataDirectory("/data-dir/");
    screenMode = ScreenModeState{};
  }
  void TearDown() override {
    screenMode = ScreenModeState{};
    GameTest::TearDown();
  }
  // Esc, then frames until the game has been left.
  void EndWithEsc() {
    platform.Press(scan::kEsc);
    RunFrames(1);
    platform.Release(scan::kEsc);
    ASSERT_EQ(RunFrames(200), 101);
  }
  static int LiveBalls() {
    int live = 0;
    for (const Ball& ball : balls) live += ball.kind != BallKind::Free ? 1 : 0;
    return live;
  }
};

TEST_F(GameFlowTest, StartOpensTheStreamsAndSpawnsTheFirstBall) {
  startGame(0);
  EXPECT_EQ(game.twoPaddles, 0);
  EXPECT_EQ(game.cancelLatch, 1);
  EXPECT_FLOAT_EQ(game.ballSpeed, 7.0f);
  EXPECT_DOUBLE_EQ(game.zoomTarget, 0.7);
  EXPECT_EQ(platform.DiscardedPresses(), 1);
  const auto opened = audio.CallsOf("open");
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].path, "/data-dir/BPM180.ogg");
  EXPECT_EQ(opened[1].path, "/data-dir/Fenwhit.ogg");
  EXPECT_EQ(balls[0].kind, BallKind::Normal);
  EXPECT_EQ(balls[0].x, 1130.0f);
  EXPECT_EQ(balls[0].y, 250.0f);
  EXPECT_EQ(LiveBalls(), 1);
  ASSERT_EQ(renderer.CallsOf("scene").size(), 1u);
  EXPECT_FLOAT_EQ(renderer.CallsOf("scene")[0].floats[1], 1.0f);
  EndWithEsc();
}

TEST_F(GameFlowTest, TheLargerScreenModesZoomLessAndShiftThePlayfield) {
  SetScreenModeHook(nullptr);
  const int expected[3][4] = {
      {1920, 1080, 300, 200}, {1920, 1200, 300, 200}, {2560, 1440, 400, 300}};
  for (int mode = 3; mode <= 5; ++mode) {
    const int* row = expected[mode - 3];
    SwitchScreenMode(mode);
    EXPECT_EQ(renderer.CallsOf("window").back().ints, (std::vector<int>{row[0], row[1]}));
    EXPECT_EQ(platform.LastWidth(), row[0]);
    renderer.ClearCalls();
    resetGameState();
    startGame(1);
    EXPECT_DOUBLE_EQ(game.zoomTarget, 0.9);
    EXPECT_EQ(renderer.CallsOf("scene")[0].ints, (std::vector<int>{row[2], row[3]}));
    EndWithEsc();
  }
}

TEST_F(GameFlowTest, LeavingStopsTheMusicAndEmptiesThePools) {
  startGame(0);
  for (int i = 0; i < 30; ++i) spawnGhostBall(500, 300);
  balls[1700].kind = BallKind::Bogus;
  addObstacle(-800, -4000, -700, 4000);
  spawnBrick(600, 100, 10, 20, 30);
  spawnInvader(-1200, 200);
  spawnShot(-100, 300);
  RunFrames(20);
  audio.ClearCalls();
  EndWithEsc();
  EXPECT_EQ(LiveBalls(), 0);
  // The next game starts with no effect left over.
  auto live = [](const auto& pool) {
    int count = 0;
    for (int32_t i = 0; i <= pool.kLast; ++i) count += pool[i].alive != 0;
    return count;
  };
  EXPECT_EQ(live(obstacles) + live(bricks) + live(invaders) + live(shots) + live(particles), 0);
  EXPECT_FALSE(BeatThreadRunning());
  EXPECT_EQ(Plays(sound::kExplosion), 1);

  // Beat track stopped at the start of the ending, game music faded, then closed.
  const SoundHandle beat = soundTable[sound::kBeatTrack].load();
  const SoundHandle music = soundTable[sound::kGameMusic].load();
  const auto calls = audio.Calls();
  auto indexOf = [&](const std::string& op, SoundHandle handle) {
    for (size_t i = 0; i < calls.size(); ++i) {
      if (calls[i].op == op && calls[i].handle == handle) return static_cast<int>(i);
    }
    return -1;
  };
  const int beatStopped = indexOf("stream_stop", beat);
  const int musicStopped = indexOf("stream_stop", music);
  const int musicClosed = indexOf("stream_close", music);
  ASSERT_GE(beatStopped, 0);
  ASSERT_GE(musicStopped, 0);
  EXPECT_LT(beatStopped, musicStopped);
  EXPECT_LT(musicStopped, musicClosed);
  EXPECT_GE(indexOf("stream_close", beat), 0);
  int lastVolume = -1;
  for (const SoundCall& call : calls) {
    if (call.op == "volume" && call.channel == sound::kGameMusicChannel) lastVolume = call.value;
  }
  EXPECT_EQ(lastVolume, 0);
}

TEST_F(GameFlowTest, SecondGameStartsAfreshWithThePaddlesWhereTheyWere) {
  startGame(0);
  balls[0].vx = balls[0].vy = 0;
  platform.Press(scan::kDown);
  RunFrames(60);
  platform.ReleaseAll();
  // Pushed below by the last key press; clamped at the top of the next frame.
  EXPECT_EQ(game.paddleY[0], 568);
  game.ballSpeed = 12;
  game.paddleLengthTarget = 40;
  game.wallRightTarget = 600;
  game.flashColours = 1;
  game.ballSkin = 2;
  game.glowScale = 7;
  game.hudJitter[3] = 50;
  EndWithEsc();
  const int32_t firstScore = game.lastScore;
  EXPECT_GT(firstScore, 0);
  // During the ending the arena grew, and the paddle kept moving down with the keys.
  game.paddleY[0] = 5000;

  resetGameState();
  startGame(1);
  EXPECT_EQ(game.lives, 2);
  EXPECT_EQ(game.score, 0);
  EXPECT_EQ(game.lastScore, firstScore);
  EXPECT_FLOAT_EQ(game.ballSpeed, 7.0f);
  EXPECT_EQ(game.paddleLength, 160);
  EXPECT_EQ(game.wallTop, 10);
  EXPECT_EQ(game.wallBottom, 710);
  EXPECT_EQ(game.wallLeft, 110);
  EXPECT_EQ(game.wallRight, 1170);
  EXPECT_EQ(game.gameOver, 0);
  EXPECT_EQ(game.flashColours, 0);
  EXPECT_EQ(game.ballSkin, 0);
  EXPECT_DOUBLE_EQ(game.glowScale, 1.0);
  EXPECT_EQ(game.hudJitter[3], 0);
  EXPECT_EQ(LiveBalls(), 1);
  RunFrames(1);
  EXPECT_EQ(game.paddleY[0], 550);
  EndWithEsc();
}

}  // namespace
}  // namespace fenwhit
