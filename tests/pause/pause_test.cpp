// The pause, through the real program: a game held over many frames of the virtual clock
// changes nothing, hears nothing and goes on from the same beat; leaving the window pauses
// and coming back does not go on; Space while paused spends no cancel; Esc while paused
// leaves the game through its ending.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <sstream>
#include <thread>
#include <vector>

#include "app/display.h"
#include "audio/music.h"
#include "events/pool_records.h"
#include "game/balls.h"
#include "game/game_state.h"
#include "gfx/overlay_renderer.h"
#include "keep/background_writer.h"
#include "keep/settings.h"
#include "pause/pause_platform.h"
#include "pause/pause_screen.h"
#include "settings/settings_platform.h"
#include "settings/volume_bar.h"
#include "support/beat_feeder.h"
#include "support/program_harness.h"
#include "support/sleep_meter.h"
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

// How long a player holds a key down: six frames, 100 ms at 60 Hz.
constexpr int kHeldFrames = 6;

// Stretches of the virtual clock and how much of them passed asleep.
struct Rest {
  double from = -1.0;
  double sleptFrom = 0.0;
  double share = -1.0;

  void Begin(double now, double slept) { from = now, sleptFrom = slept; }
  void End(double now, double slept) { share = (slept - sleptFrom) / (now - from); }
};

// The volume bar's segments in the last picture drawn.
int BarSegments(const RecordingRenderer& renderer) {
  int segments = 0;
  for (const DrawCall& call : renderer.CallsOf("fill_rect")) {
    if (call.ints[2] == 18 && call.ints[3] == 30) ++segments;
  }
  return segments;
}

// Every key held as a player holds it, for several frames: P pauses once and goes on once,
// P in the menu does nothing, a volume key steps once and its bar goes again after two
// seconds, Space and the left button held out of the pause spend nothing but work again
// once let go, and the processor sleeps while paused and between frames after it.
TEST(Pause, KeysHeldForSeveralFramesActOnceAndTheProcessorRests) {
  ProgramHarness harness(true);
  menu.menuIndex = 0;
  testing::SleepMeter meter(harness.platform);
  testing::ScratchDir home;
  SettingsFile file(home.str() + "/settings");
  Settings remembered;
  remembered.volume = 5;
  std::ostringstream err;
  BackgroundWriter writer;
  SettingsPlatform settings(meter, harness.sound, file, writer, remembered,
                            {[] { return 0; }, [] { return false; }}, err);
  OverlayRenderer frames(harness.renderer);
  PauseScreen screen(frames, [&] { DrawVolumeBar(settings, meter.Clock()); });
  // The longest title a network game gives it must still fit in the window: centred, it
  // does when its first letter does.
  screen.SetTitle("PAUSED BY ANNA-BENJAMIN");
  int32_t titleLeft = INT32_MAX;
  struct Picture {
    double at;
    int barSegments;
  };
  std::vector<Picture> pictures;
  PausePlatform pause(
      settings, harness.sound,
      [&] {
        harness.renderer.ClearCalls();
        screen.Show();
        pictures.push_back({meter.Clock(), BarSegments(harness.renderer)});
        for (const DrawCall& glyph : harness.renderer.CallsOf("region")) {
          titleLeft = std::min(titleLeft, glyph.ints[0]);
        }
      },
      true);

  enum class Step { kMenu, kPlay, kPaused, kGoingOn, kAfter, kLeaving } step = Step::kMenu;
  int stepPumps = 0;
  bool pausedInMenu = false;
  bool pausedAgain = false;
  double volumeKeyUpAt = -1.0;
  int32_t cancelsAtPause = -1;
  int32_t cancelsHeldOut = -1;
  int32_t cancelsAfterClick = -1;
  int32_t cancelsAfterSpace = -1;
  int menuFramesAfterEscape = 0;
  Rest paused;
  Rest playing;

  const int status = harness.Run(
      [&](TestPlatform& p, int) {
        harness.renderer.ClearCalls();
        const int in = stepPumps++;
        const auto next = [&](Step to) { step = to, stepPumps = 0; };
        const auto hold = [&](int from, int code) {
          if (in == from) p.Press(code);
          if (in == from + kHeldFrames) p.Release(code);
        };
        switch (step) {
          case Step::kMenu:
            pausedInMenu = pausedInMenu || pause.Paused();
            hold(0, scan::kP);
            if (in == 20) p.Press(scan::kSpace);
            if (in == 21) p.Release(scan::kSpace);
            if (BeatThreadRunning()) next(Step::kPlay);
            return;
          case Step::kPlay:
            KeepPlaying();
            if (in == 100) {
              cancelsAtPause = game.cancels;
              p.Press(scan::kP);
              next(Step::kPaused);
            }
            return;
          case Step::kPaused:
            // The P that paused is still down for five polls: it must not go on.
            if (in == kHeldFrames - 1) p.Release(scan::kP);
            if (in == kHeldFrames) paused.Begin(p.Now(), meter.Slept());
            hold(20, scan::kMinus);
            if (in == 20 + kHeldFrames) volumeKeyUpAt = meter.Clock();
            if (in == 250) paused.End(p.Now(), meter.Slept());
            // Space and the left button go down and stay down into play.
            if (in == 260) {
              p.Press(scan::kSpace);
              p.SetMouse({0, 0, 0, 1});
            }
            if (in == 270) {
              p.Press(scan::kP);
              next(Step::kGoingOn);
            }
            return;
          case Step::kGoingOn:
            pausedAgain = pausedAgain || pause.Paused();
            if (in == kHeldFrames - 1) p.Release(scan::kP);
            if (in == 10) {
              cancelsHeldOut = game.cancels;
              p.Release(scan::kSpace);
              p.SetMouse({});
            }
            // A fresh click, then a fresh Space, each held as a player holds it.
            if (in == 20) p.SetMouse({3, 4, 0, 1});
            if (in == 20 + kHeldFrames) p.SetMouse({});
            if (in == 40) cancelsAfterClick = game.cancels;
            hold(45, scan::kSpace);
            if (in == 60) {
              cancelsAfterSpace = game.cancels;
              playing.Begin(p.Now(), meter.Slept());
              next(Step::kAfter);
            }
            KeepPlaying();
            return;
          case Step::kAfter:
            KeepPlaying();
            if (in == 120) {
              playing.End(p.Now(), meter.Slept());
              // Esc held in a second pause leaves the game, and the menu stays.
              p.Press(scan::kP);
            }
            if (in == 121) p.Release(scan::kP);
            if (in == 130) p.Press(scan::kEsc);
            if (in == 130 + kHeldFrames) {
              p.Release(scan::kEsc);
              next(Step::kLeaving);
            }
            return;
          case Step::kLeaving:
            if (!BeatThreadRunning() && ++menuFramesAfterEscape == 60) p.RequestClose();
            return;
        }
      },
      pause, frames);

  EXPECT_EQ(status, 0);
  EXPECT_GE(titleLeft, 0);
  EXPECT_FALSE(pausedInMenu) << "P paused the menu";
  EXPECT_EQ(harness.sound.CallsOf("pause").size(), 4u) << "two pauses, each let go once";
  EXPECT_FALSE(pausedAgain) << "the P that went on paused again";
  EXPECT_EQ(menuFramesAfterEscape, 60) << "Esc from the pause left the menu too";
  // One step down for one press held six polls.
  std::vector<int> levels;
  for (const SoundCall& call : harness.sound.CallsOf("master")) levels.push_back(call.value);
  EXPECT_EQ(levels, (std::vector<int>{5, 4}));
  // The bar shows at the press, and a picture without it comes right after its two seconds.
  ASSERT_GT(volumeKeyUpAt, 0.0);
  bool barSeen = false;
  double barGoneAt = -1.0;
  for (const Picture& picture : pictures) {
    barSeen = barSeen || picture.barSegments == kMasterVolumeSteps;
    if (barSeen && barGoneAt < 0 && picture.barSegments == 0) barGoneAt = picture.at;
  }
  EXPECT_TRUE(barSeen);
  // The first pause drew at its start, for the key going down and up, and for the bar going;
  // the second, once.
  EXPECT_LE(pictures.size(), 6u);
  EXPECT_GT(barGoneAt - volumeKeyUpAt, kVolumeBarSeconds - 0.2);
  EXPECT_LT(barGoneAt - volumeKeyUpAt, kVolumeBarSeconds + 0.3);
  // Held out of the pause, Space and the button spend nothing; pressed again, one each.
  EXPECT_EQ(cancelsHeldOut, cancelsAtPause);
  EXPECT_EQ(cancelsAfterClick, cancelsAtPause - 1);
  EXPECT_EQ(cancelsAfterSpace, cancelsAtPause - 2);
  // Paused, the program sleeps between its looks at the keys; playing after the pause, it
  // sleeps through most of each frame.
  EXPECT_GT(paused.share, 0.9);
  EXPECT_GT(playing.share, 0.5);
}

}  // namespace
}  // namespace fenwhit
