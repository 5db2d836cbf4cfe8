// Starting, ending and leaving whole games.
#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/display.h"
#include "app/paths.h"
#include "events/event_catalogue.h"
#include "events/event_cycle.h"
#include "events/event_effects.h"
#include "events/pool_records.h"
#include "game/game_fixture.h"
#include "game/scoring.h"

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

// Every field a new game gives a value, with that value (after resetGameState and
// startGame(1) in the first screen mode).
struct Field {
  std::string name;
  std::function<double()> read;
  double value;
};

#define FIELD(member, value) \
  (Field{#member, [] { return static_cast<double>(game.member); }, value})

std::vector<Field> NewGameFields() {
  // clang-format off
  std::vector<Field> fields = {
      FIELD(wallTop, 10), FIELD(wallBottom, 710), FIELD(wallLeft, 110), FIELD(wallRight, 1170),
      FIELD(wallTopTarget, 10), FIELD(wallBottomTarget, 710), FIELD(wallLeftTarget, 110),
      FIELD(wallRightTarget, 1170), FIELD(wallStep, 2),
      FIELD(tiltAngle, 0), FIELD(tiltTarget, 0), FIELD(tiltStep, 1), FIELD(spinAngle, 0),
      FIELD(spinSpeed, 0), FIELD(zoom, 1), FIELD(zoomTarget, 0.7), FIELD(zoomStep, 0.003),
      FIELD(zoomShrink, 0), FIELD(squeezeX, 0), FIELD(squeezeXTarget, 0), FIELD(squeezeY, 0),
      FIELD(squeezeYTarget, 0), FIELD(viewJitter, 0), FIELD(glowScale, 1),
      FIELD(paddleLength, 160), FIELD(paddleLengthTarget, 160), FIELD(paddleSpeed, 18),
      FIELD(twoPaddles, 1),
      FIELD(ballSpeed, 7), FIELD(ballScaleAdd, 0), FIELD(ballSkin, 0), FIELD(ballsFrozen, 0),
      FIELD(score, 0), FIELD(lives, 2), FIELD(cancels, 2), FIELD(cancelLatch, 1),
      FIELD(gameOver, 0), FIELD(gameOverFrames, 0),
      FIELD(slowFrames, 0), FIELD(waveAmplitude, 20), FIELD(waveAmplitudeTarget, 20),
      FIELD(flashColours, 0),
      FIELD(eventNumber, 0), FIELD(eventCount, 0), FIELD(doubleEvent, 0), FIELD(announced, 0),
      FIELD(andSoundPlayed, 0), FIELD(secondChosen, 0),
      FIELD(blackHoleOn, 0), FIELD(extraWallBuilt, 0), FIELD(corridorCount, 0)};
  // clang-format on
  auto element = [&fields](const char* name, int32_t* array, int count, double value) {
    for (int k = 0; k < count; ++k) {
      fields.push_back({name + ("[" + std::to_string(k) + "]"),
                        [array, k] { return static_cast<double>(array[k]); }, value});
    }
  };
  element("bonusLifeGiven", game.bonusLifeGiven, kBonusLifeCount, 0);
  element("hudJitter", game.hudJitter, 4, 0);
  element("bgColour", game.bgColour, 3, 128);
  element("bgColourTarget", game.bgColourTarget, 3, 128);
  return fields;
}

#undef FIELD

TEST_F(GameFlowTest, ANewGameGivesEveryFieldItsValueAfterAGameOfEveryEvent) {
  auto at = [](int32_t beat) {
    beatCount.store(beat);
    updateEventCycle();
  };
  startGame(0);
  // The beats stored below are then the only ones: the thread counts no other.
  while (beatsCounted.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  for (int32_t e = 0; e <= kLastEventNumber; ++e) {
    if (findEvent(e) == nullptr) continue;
    at(13);
    game.eventNumber = e;
    at(17);
  }
  // The last cycle doubled: the first event sets the jitter, the second the spin that
  // the first application of a cycle stops; then a new announcement.
  at(13);
  game.doubleEvent = 4;
  game.eventNumber = 7;
  at(17);
  at(2);
  at(4);
  game.eventNumber = 16;
  at(8);
  at(13);
  // Each application ends the modes that last one cycle, and the cycle's own flags are
  // never all set at once: the game ends as if each had come last.
  effects::crappyComputer();
  effects::gameloopCrash();
  effects::squeezeTime();
  effects::stretchTime();
  game.doubleEvent = 4;
  game.andSoundPlayed = game.secondChosen = 1;
  addScore(1000001);
  RunFrames(30);
  EndWithEsc();
  const int32_t lastScore = game.lastScore;
  EXPECT_GT(lastScore, 1000001);
  game.paddleY[0] = 5000;  // kept for the next game, which clamps it

  const std::vector<Field> fields = NewGameFields();
  for (const Field& field : fields) {
    EXPECT_NE(field.read(), field.value) << field.name << " was not changed by the game";
  }
  EXPECT_FALSE(game.eventTitle.empty());
  float periods[8];
  std::copy(std::begin(game.wavePeriod), std::end(game.wavePeriod), periods);

  resetGameState();
  startGame(1);
  for (const Field& field : fields) EXPECT_EQ(field.read(), field.value) << field.name;
  EXPECT_TRUE(game.eventTitle.empty());
  // Drawn anew: four long periods and four short ones.
  for (int k = 0; k < 8; ++k) {
    EXPECT_NE(game.wavePeriod[k], periods[k]) << k;
    EXPECT_GE(game.wavePeriod[k], k < 4 ? 40 : 10) << k;
    EXPECT_LE(game.wavePeriod[k], k < 4 ? 210 : 80) << k;
  }
  EXPECT_EQ(game.lastScore, lastScore);
  EXPECT_EQ(LiveBalls(), 1);
  RunFrames(1);
  EXPECT_EQ(game.paddleY[0], 550);
  EndWithEsc();
}

// A sound device that notes the beat count at each stream it opens; the game's beat
// thread is started right after the last.
class CountAtOpen : public RecordingSoundDevice {
 public:
  SoundHandle OpenStream(const std::string& path) override {
    counts.push_back(beatCount.load());
    return RecordingSoundDevice::OpenStream(path);
  }
  std::vector<int32_t> counts;
};

TEST_F(GameFlowTest, ANewGameCountsBeatsFromZeroBeforeItsBeatThreadRuns) {
  startGame(0);
  // After the thread's first beat, the only one it counts here, taken by a first frame.
  while (beatsCounted.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  TakeBeats();
  beatCount.store(16);  // an announcement shown, its application due
  EndWithEsc();
  ASSERT_EQ(beatCount.load(), 16);

  CountAtOpen device;
  SetSoundDevice(&device);
  resetGameState();
  // Beats the old thread counted after the last frame are not the new game's.
  beatsCounted.store(20);
  startGame(0);
  EXPECT_EQ(device.counts, (std::vector<int32_t>{0, 0}));
  RunFrames(1);
  EXPECT_EQ(game.eventCount, 0);
  EXPECT_EQ(game.announced, 0);
  RequestBeatStop();
  SetSoundDevice(&audio);
}

}  // namespace
}  // namespace fenwhit
