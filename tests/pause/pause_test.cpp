// The pause, through the real program: a game held over many frames of the virtual clock
// changes nothing, hears nothing and goes on from the same beat; leaving the window pauses
// and coming back does not go on; Space while paused spends no cancel; Esc while paused
// leaves the game through its ending.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "audio/music.h"
#include "events/pool_records.h"
#include "game/balls.h"
#include "game/game_state.h"
#include "gfx/overlay_renderer.h"
#include "pause/pause_platform.h"
#include "pause/pause_screen.h"
#include "support/beat_feeder.h"
#include "support/program_harness.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::BeatFeeder;
using testing::BeatsSoFar;
using testing::ProgramHarness;

constexpr int kFramesPerBeat = 20;
constexpr int kPausePumps = 500;  // ten seconds of the virtual clock

template <typename T>
void HashBytes(uint64_t& hash, const T& value) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
  for (size_t i = 0; i < sizeof(T); ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
}

// Everything a frame changes: the game record, the balls and every effect pool.
uint64_t GameHash() {
  uint64_t hash = 14695981039346656037ull;
  HashBytes(hash, game);
  HashBytes(hash, balls);
  HashBytes(hash, obstacles);
  HashBytes(hash, bricks);
  HashBytes(hash, invaders);
  HashBytes(hash, shots);
  HashBytes(hash, particles);
  return hash;
}

// Keeps the game alive: spare lives and a spare ball.
void KeepPlaying() {
  if (game.lives < 3) game.lives = 3;
  if (countBalls().normalBallCount < 2) spawnBall(game.wallRight - 40, game.wallTop + 240);
}

struct Held {
  uint64_t hash = 0;
  int32_t beat = 0;
  double gameClock = 0.0;
  double realClock = 0.0;
  size_t soundCalls = 0;
};

TEST(Pause, HoldsTheGameGoesOnFromTheSameBeatAndSpendsNothing) {
  ProgramHarness harness;
  menu.menuIndex = 0;
  OverlayRenderer frames(harness.renderer);
  PauseScreen screen(frames, {});
  PausePlatform pause(
      harness.platform, harness.sound, [&] { screen.Show(); }, true);
  BeatFeeder feeder(harness.sound);

  int gameStart = -1;
  int playFrames = 0;
  int pausedAt = -1;
  int pausedPumps = 0;
  int pauses = 0;
  Held held;
  bool heldStill = true;
  bool silentWhilePaused = true;
  bool beatLost = false;
  int presentsWhilePaused = 0;
  int presentsAtPause = 0;
  int32_t beatAtFirstPause = -1;
  int32_t beatAfterResume = -1;
  int32_t nextBeatAfterResume = -1;
  double clockJump = -1.0;
  double realPause = 0.0;
  int pumpsAfterFocusCameBack = 0;
  bool endingAfterEscape = false;
  int32_t cancelsAfterPause = -1;
  int framesAfterResume = 0;

  const int status = harness.Run(
      [&](TestPlatform& p, int pump) {
        if (pump == 0) p.Press(scan::kSpace);
        if (pump == 1) p.Release(scan::kSpace);
        if (!BeatThreadRunning()) {
          if (gameStart >= 0) p.Press(scan::kEsc);  // back in the menu: leave
          return;
        }
        if (gameStart < 0) {
          gameStart = pump;
          while (BeatsSoFar() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (pause.Paused()) {
          const int in = pump - pausedAt;
          ++pausedPumps;
          heldStill = heldStill && GameHash() == held.hash && BeatsSoFar() == held.beat;
          if (in == 1) p.Release(scan::kP);
          // Space and the left button while paused must not cancel anything, Space held on
          // into play included.
          if (in == 2) {
            p.Press(scan::kSpace);
            p.SetMouse({0, 0, 0, 1});
          }
          if (in == 6) p.SetMouse({});
          // Real time for the beat thread to poll the held streams.
          if (in == 10) std::this_thread::sleep_for(std::chrono::milliseconds(150));
          if (pauses == 1 && in == kPausePumps) {
            presentsWhilePaused = harness.renderer.Presented() - presentsAtPause;
            for (size_t i = held.soundCalls; i < harness.sound.Calls().size(); ++i) {
              silentWhilePaused = silentWhilePaused && harness.sound.Calls()[i].op != "play";
            }
            realPause = p.Now() - held.realClock;
            p.Press(scan::kP);
          }
          // The second pause came from leaving the window: coming back does not go on.
          if (pauses == 2 && in == 50) p.SetWindowActive(true);
          if (pauses == 2 && in > 50) ++pumpsAfterFocusCameBack;
          if (pauses == 2 && in == 200) p.Press(scan::kEsc);
          return;
        }
        if (pausedAt >= 0 && pauses == 1 && clockJump < 0) {
          clockJump = pause.Clock() - held.gameClock;
          beatAfterResume = BeatsSoFar();
          p.Release(scan::kP);
        }
        if (pauses == 1 && ++framesAfterResume == 5) {
          p.Release(scan::kSpace);
          cancelsAfterPause = game.cancels;
        }
        if (pauses == 2 && game.gameOver != 0) {
          endingAfterEscape = true;
          p.Release(scan::kEsc);
          return;
        }
        if (game.gameOver != 0) return;
        KeepPlaying();
        ++playFrames;
        if (playFrames % kFramesPerBeat == 0) {
          beatLost = beatLost || !feeder.Deliver();
          if (beatAfterResume >= 0 && nextBeatAfterResume < 0) nextBeatAfterResume = BeatsSoFar();
        }
        const bool pauseNow = playFrames == 200 || playFrames == 400;
        if (!pauseNow) return;
        ++pauses;
        pausedAt = pump;
        held = {GameHash(), BeatsSoFar(), pause.Clock(), p.Now(), harness.sound.Calls().size()};
        presentsAtPause = harness.renderer.Presented();
        if (pauses == 1) {
          beatAtFirstPause = held.beat;
          p.Press(scan::kP);
        }
        if (pauses == 2) p.SetWindowActive(false);
      },
      pause, frames);

  EXPECT_EQ(status, 0);
  EXPECT_FALSE(beatLost);
  EXPECT_EQ(pauses, 2);
  EXPECT_GE(pausedPumps, kPausePumps + 200);
  EXPECT_TRUE(heldStill) << "the game changed while paused";
  EXPECT_TRUE(silentWhilePaused) << "a sound started while paused";
  // The game's clock leaves the paused ten seconds out: no catch-up after it.
  EXPECT_GT(realPause, 9.0);
  EXPECT_GE(clockJump, 0.0);
  EXPECT_LT(clockJump, 0.1);
  // Every pause is left out, not only the last: the second lasted about four seconds.
  EXPECT_GT(pause.PausedTime(), realPause + 3.0);
  // The same beat, then the next one.
  EXPECT_EQ(beatAfterResume, beatAtFirstPause);
  EXPECT_EQ(nextBeatAfterResume, beatAfterResume + 1);
  EXPECT_EQ(cancelsAfterPause, 2);
  // A paused game redraws rarely: at its start and every few seconds.
  EXPECT_GE(presentsWhilePaused, 2);
  EXPECT_LE(presentsWhilePaused, 4);
  EXPECT_GE(pumpsAfterFocusCameBack, 140);
  EXPECT_TRUE(endingAfterEscape);
  // Sound held and let go once for each pause.
  const auto pauseCalls = harness.sound.CallsOf("pause");
  ASSERT_EQ(pauseCalls.size(), 4u);
  EXPECT_EQ(pauseCalls[0].value, 1);
  EXPECT_EQ(pauseCalls[1].value, 0);
}

}  // namespace
}  // namespace fenwhit
