// A whole game through the real program, its beats coming from the beat track's
// stream time as the beat thread reads it: announcements on beat 13, applications on
// beat 17, a double event, a cancel, and no title shown in the ending.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "audio/sound_ids.h"
#include "game/balls.h"
#include "game/game_state.h"
#include "support/beat_feeder.h"
#include "support/program_harness.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::BeatFeeder;
using testing::BeatsSoFar;
using testing::ProgramHarness;

constexpr int kFramesPerBeat = 20;  // 180 beats a minute at 60 frames a second
constexpr int kCycles = 21;

bool TitleDrawn(const RecordingRenderer& renderer) {
  for (const DrawCall& call : renderer.Calls()) {
    if (call.op == "sprite" && call.ints[0] == 600 && call.ints[1] == 728) return true;
  }
  return false;
}

int PlaysOf(const RecordingSoundDevice& sound, int id) {
  int plays = 0;
  for (const SoundCall& call : sound.CallsOf("play")) {
    plays += call.handle == soundTable[id].load();
  }
  return plays;
}

// The state a delivered beat met, to judge at the next frame what the cycle did.
struct Delivery {
  int32_t beat = -1;
  int32_t eventCount = 0;
  int32_t eventNumber = 0;
  int32_t doubleEvent = 0;
  float wavePeriod = 0;
  bool ending = false;
};

struct Tally {
  int announcements = 0;
  int applications = 0;
  int secondAnnouncements = 0;
  int secondApplications = 0;
  int cancelledApplications = 0;
  int offBeat = 0;  // a change of the cycle on a beat that should not make one
  int titleFrames = 0;
  int titlesOutsideWindows = 0;
  int endingBeats = 0;
  int endingFrames = 0;
  bool beatLost = false;
};

// A perfect player, so that the game lasts as many cycles as the test needs: the
// paddle waits where the nearest normal ball is, with spare balls and lives.
void KeepPlaying() {
  GameState& g = game;
  if (g.lives < 3) g.lives = 3;
  if (countBalls().normalBallCount < 2) spawnBall(g.wallRight - 40, g.wallTop + 240);
  const Ball* nearest = nullptr;
  for (int32_t i = 0; i <= g.ballLast; ++i) {
    if (balls[i].kind == BallKind::Normal && (nearest == nullptr || balls[i].x < nearest->x)) {
      nearest = &balls[i];
    }
  }
  if (nearest != nullptr) g.paddleY[0] = static_cast<int32_t>(nearest->y) - g.paddleLength / 2;
}

void Judge(const Delivery& d, Tally& t) {
  const GameState& g = game;
  const bool announced = g.eventCount != d.eventCount;
  const bool applied = g.wavePeriod[0] != d.wavePeriod;
  const bool secondChosen = !announced && d.doubleEvent == 4 && d.beat == 4;
  if (d.ending) {
    ++t.endingBeats;
    if (announced || applied) ++t.offBeat;
    return;
  }
  if (announced != (d.beat == 13)) ++t.offBeat;
  if (applied != (d.beat == 17 || (d.doubleEvent == 4 && d.beat == 8))) ++t.offBeat;
  if (announced) t.announcements += g.eventCount - d.eventCount;
  if (secondChosen) ++t.secondAnnouncements;
  if (d.beat == 17) {
    ++t.applications;
    if (beatCount.load() != 1 || !g.eventTitle.empty()) ++t.offBeat;
    if (d.eventNumber == -1) ++t.cancelledApplications;
  }
  if (applied && d.beat == 8) ++t.secondApplications;
}

TEST(EventGame, TwentyCyclesOfEventsOnTheBeatThenAnEndingWithoutThem) {
  ProgramHarness harness(true);
  menu.menuIndex = 0;
  BeatFeeder feeder(harness.sound);
  Tally tally;
  Delivery last;
  int gameStart = -1;
  int newEventPlaysAtEsc = -1;
  int32_t cancelsAtEsc = -1;

  const int status = harness.Run([&](TestPlatform& p, int pump) {
    if (pump == 0) p.Press(scan::kSpace);
    if (pump == 1) p.Release(scan::kSpace);
    GameState& g = game;
    if (!BeatThreadRunning()) {
      if (gameStart >= 0) p.Press(scan::kEsc);  // back in the menu: leave
      harness.renderer.ClearCalls();
      return;
    }
    if (gameStart < 0) {
      gameStart = pump;
      // The beat thread counts the first beat as soon as the beat track starts.
      while (BeatsSoFar() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const int32_t beat = beatCount.load();
    if (TitleDrawn(harness.renderer)) {
      ++tally.titleFrames;
      const bool window = (beat > 12 && beat < 17) || (g.doubleEvent == 4 && beat > 1 && beat < 8);
      if (!window || g.gameOver != 0) ++tally.titlesOutsideWindows;
    }
    harness.renderer.ClearCalls();
    if (last.beat >= 0) Judge(last, tally);
    last.beat = -1;

    if (g.gameOver == 0) {
      KeepPlaying();
      // One cancel while the eleventh event's title is up.
      if (g.eventCount == 11 && beat == 14) p.Press(scan::kSpace);
      if (g.eventCount == 11 && beat == 16) p.Release(scan::kSpace);
      // After enough cycles, Esc while a title is up: the ending must hide it.
      if (g.eventCount >= kCycles && beat == 14 && newEventPlaysAtEsc < 0) {
        newEventPlaysAtEsc = PlaysOf(harness.sound, sound::kNewEvent);
        cancelsAtEsc = g.cancels;
        p.Press(scan::kEsc);
      }
    } else {
      ++tally.endingFrames;
    }

    if ((pump - gameStart) % kFramesPerBeat != kFramesPerBeat - 1) return;
    const Delivery before{
        -1, g.eventCount, g.eventNumber, g.doubleEvent, g.wavePeriod[0], g.gameOver != 0};
    if (!feeder.Deliver()) {
      tally.beatLost = true;
      return;
    }
    last = before;
    last.beat = BeatsSoFar();
  });

  EXPECT_EQ(status, 0);
  EXPECT_FALSE(tally.beatLost);
  EXPECT_GE(tally.announcements, kCycles);
  EXPECT_GE(tally.applications, kCycles - 1);
  EXPECT_EQ(tally.offBeat, 0);
  EXPECT_GE(tally.secondAnnouncements, 1);
  EXPECT_EQ(tally.secondApplications, tally.secondAnnouncements);
  EXPECT_EQ(tally.cancelledApplications, 1);
  EXPECT_EQ(cancelsAtEsc, 1);
  EXPECT_GT(tally.titleFrames, 4 * kFramesPerBeat * kCycles - 4 * kFramesPerBeat);
  EXPECT_EQ(tally.titlesOutsideWindows, 0);
  EXPECT_GE(tally.endingBeats, 4);
  EXPECT_GE(tally.endingFrames, 100);

  // Every announcement sounded; none came in the ending; every double event said AND.
  EXPECT_EQ(PlaysOf(harness.sound, sound::kNewEvent), tally.announcements);
  EXPECT_EQ(PlaysOf(harness.sound, sound::kNewEvent), newEventPlaysAtEsc);
  EXPECT_EQ(PlaysOf(harness.sound, sound::kAnd), tally.secondAnnouncements);
  EXPECT_EQ(PlaysOf(harness.sound, sound::kNoWay), 1);
}

}  // namespace
}  // namespace fenwhit
