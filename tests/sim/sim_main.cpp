// fenwhit_sim: whole games, headless and on a virtual clock, played by the autopilot
// through the real menu and frame loops, with every frame checked.
//
//   fenwhit_sim --assets DIR [--seed N] [--frames N] [--games N] [--without FILE]...
//               [--every-event] [--capture FILE] [--steer left|right|both [--input-delay N]]
//               [--flashes FILE [--calm]]
//
// --steer plays two-paddle games instead, as a network game does: an autopilot for each
// paddle named, its Up and Down given to that paddle N frames late; the game starts at
// once from the menu, as the network game starts it.
// --capture keeps the state of the game frame with the most drawing in FILE, for the
// benchmarks.
// --flashes draws every frame for real in an offscreen window and counts its flashes
// (--calm: with flashes = calm); FILE gets the most flashes of each second and what it
// showed. With --calm, more than one flash in a second fails the run.
// FENWHIT_TEST_EVENTS=all (or a list of event numbers) forces the events met, in turn;
// the games are then not checked against their replays.
//
// Runs until N frames have passed or N games have ended, from an archive of the assets
// (less any file named with --without). Exits 1 at the first broken check (after saying
// what broke, where and with which seed), when fewer games ended than asked, or with
// --every-event when some event was never applied; 0 otherwise.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <string>

#include "app/archive_writer.h"
#include "app/program.h"
#include "audio/music.h"
#include "autoplay/autopilot_platform.h"
#include "common/calm_flashes.h"
#include "events/event_catalogue.h"
#include "events/forced_events.h"
#include "game/game_state.h"
#include "gfx/pictures.h"
#include "gfx/recording_renderer.h"
#include "replay/replay_check.h"
#include "replay/replay_recorder.h"
#include "sim/beat_lockstep.h"
#include "sim/flash_watch.h"
#include "sim/frame_checks.h"
#include "sim/tee_renderer.h"
#include "sim/virtual_sound_device.h"
#include "support/frame_snapshot.h"
#include "support/paddle_seat.h"
#include "support/scratch_dir.h"
#include "ui/main_menu.h"

namespace fenwhit::sim {
namespace {

struct Options {
  std::string assets;
  unsigned long long seed = 1;
  long frames = 100000;
  long games = 0;
  std::set<std::string> without;
  bool everyEvent = false;
  std::string capture;
  bool steerLeft = false;
  bool steerRight = false;
  int inputDelay = 0;
  std::string flashes;
  bool calm = false;
};

// Notes what the checks need of each frame's drawing, and draws nothing.
class WatchingRenderer : public RecordingRenderer {
 public:
  WatchingRenderer() : RecordingRenderer(false) {}
  void DrawSprite(int32_t x, int32_t y, const Texture& texture, float angle, float scale) override {
    if (x == 600 && y == 728 && scale == 3.0f) {
      frame.title = true;
      frame.titleBeat = beatCount.load();
    }
    ++frame.drawCalls;
    RecordingRenderer::DrawSprite(x, y, texture, angle, scale);
  }
  void DrawSpriteRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w, int32_t h,
                        const Texture& texture, float scale) override {
    ++frame.drawCalls;
    RecordingRenderer::DrawSpriteRegion(x, y, srcX, srcY, w, h, texture, scale);
  }
  void FillRect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    ++frame.drawCalls;
    RecordingRenderer::FillRect(x, y, w, h);
  }
  void FillRectCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    ++frame.drawCalls;
    RecordingRenderer::FillRectCorners(x1, y1, x2, y2);
  }
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float width) override {
    ++frame.drawCalls;
    RecordingRenderer::DrawLine(x1, y1, x2, y2, width);
  }
  void SetSceneTransformXY(float angle, float scaleX, float scaleY, int32_t dx,
                           int32_t dy) override {
    frame.scene = true;
    frame.sceneScaleY = scaleY;
    RecordingRenderer::SetSceneTransformXY(angle, scaleX, scaleY, dx, dy);
  }
  DrawnFrame frame;
};

// The test platform, with the beat thread kept in step with its clock, and now and
// then a press of Space, which the autopilot itself never makes ("NO WAY!").
class SimPlatform : public TestPlatform {
 public:
  explicit SimPlatform(unsigned long long seed) : taps_(seed) {}
  // The first clock reading after a frame's input pump starts the next frame.
  double Clock() override {
    const double now = TestPlatform::Clock();
    TheLockstep().CatchUp(now);
    if (pumped_) {
      pumped_ = false;
      if (onFrameStart) onFrameStart();
    }
    return now;
  }
  void PumpEvents() override {
    TestPlatform::PumpEvents();
    pumped_ = true;
  }
  void SleepMs(int milliseconds) override {
    TestPlatform::SleepMs(milliseconds);
    TheLockstep().CatchUp(Now());
  }
  void SleepUntil(double deadline) override {
    TestPlatform::SleepUntil(deadline);
    TheLockstep().CatchUp(Now());
  }
  void TapCancelNowAndThen() {
    if (held_ > 0 && --held_ == 0) Release(scan::kSpace);
    if (held_ == 0 && BeatThreadRunning() && taps_() % 1500 == 0) {
      Press(scan::kSpace);
      held_ = 3;
    }
  }

 private:
  std::mt19937 taps_;
  int held_ = 0;
  bool pumped_ = false;

 public:
  std::function<void()> onFrameStart;
};

void SleepOnVirtualClock(int milliseconds) {
  TheLockstep().Sleep(milliseconds);
}

void Usage() {
  std::fprintf(stderr,
               "usage: fenwhit_sim --assets DIR [--seed N] [--frames N] [--games N] "
               "[--without FILE]... [--every-event] [--capture FILE] "
               "[--steer left|right|both [--input-delay N]] [--flashes FILE [--calm]]\n");
}

bool Parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--assets" && hasValue) {
      options.assets = argv[++i];
    } else if (arg == "--seed" && hasValue) {
      options.seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (arg == "--frames" && hasValue) {
      options.frames = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--games" && hasValue) {
      options.games = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--without" && hasValue) {
      options.without.insert(argv[++i]);
    } else if (arg == "--capture" && hasValue) {
      options.capture = argv[++i];
    } else if (arg == "--steer" && hasValue) {
      const std::string which = argv[++i];
      options.steerLeft = which == "left" || which == "both";
      options.steerRight = which == "right" || which == "both";
      if (!options.steerLeft && !options.steerRight) return false;
    } else if (arg == "--input-delay" && hasValue) {
      options.inputDelay = static_cast<int>(std::strtol(argv[++i], nullptr, 10));
    } else if (arg == "--flashes" && hasValue) {
      options.flashes = argv[++i];
    } else if (arg == "--calm") {
      options.calm = true;
    } else if (arg == "--every-event") {
      options.everyEvent = true;
    } else {
      return false;
    }
  }
  return !options.assets.empty() && options.frames > 0 && options.seed != 0 &&
         options.inputDelay >= 0 && options.inputDelay < 100;
}

std::vector<uint8_t> PackAssets(const Options& options) {
  std::vector<ArchiveEntry> entries;
  for (ArchiveEntry& entry : CollectAssetFolder(options.assets)) {
    const std::string file = entry.name.substr(entry.name.rfind('\\') + 1);
    if (options.without.count(file) == 0) entries.push_back(std::move(entry));
  }
  return BuildArchive(entries);
}

void Report(const Tally& tally, const Options& options) {
  std::printf(
      "seed %llu: %ld frames, %ld in %ld games (%ld ended), %ld double events, %ld cancels\n",
      options.seed, tally.frames, tally.gameFrames, tally.games, tally.gamesEnded,
      tally.doubleEvents, tally.cancels);
  std::vector<long> lengths = tally.gameLengths;
  if (!lengths.empty()) {
    std::sort(lengths.begin(), lengths.end());
    std::printf("median game: %ld frames (%.0f s at 60 frames a second)\n",
                lengths[lengths.size() / 2], lengths[lengths.size() / 2] / 60.0);
  }
  std::printf("applications by event:");
  for (int e = -1; e <= kLastEventNumber; ++e) {
    if (e == -1 || findEvent(e) != nullptr) std::printf(" %d:%ld", e, tally.applications[e + 1]);
  }
  std::printf("\n");
}

bool EveryEventApplied(const Tally& tally) {
  bool all = true;
  for (int e = 0; e <= kLastEventNumber; ++e) {
    if (findEvent(e) != nullptr && tally.applications[e + 1] == 0) {
      std::printf("event %d was never applied\n", e);
      all = false;
    }
  }
  return all;
}

// Plays every recorded game again headless; false after saying which came out otherwise.
bool CheckSimReplays(const std::vector<Replay>& replays, const ProgramOptions& program) {
  size_t bytes = 0;
  for (size_t i = 0; i < replays.size(); ++i) {
    bytes += EncodeReplay(replays[i]).size();
    const ReplayOutcome outcome = CheckReplay(replays[i], program);
    if (!outcome.matches) {
      std::printf("the replay of game %zu differs from frame %lld: %s\n", i + 1,
                  static_cast<long long>(outcome.differsAt), outcome.difference.c_str());
      return false;
    }
  }
  std::printf("replays: %zu games recorded and played again the same, %zu bytes\n", replays.size(),
              bytes);
  return true;
}

int Run(const Options& options) {
  testing::ScratchDir work;
  testing::ScratchDir temp;
  work.WriteFile("quellard.data", PackAssets(options));
  SimPlatform platform(options.seed);
  // One autopilot, or a seated one for each paddle steered.
  std::optional<AutopilotPlatform> pilots[2];
  std::optional<testing::PaddleSeat> seats[2];
  Platform* played = &platform;
  const bool twoPaddles = options.steerLeft || options.steerRight;
  for (int paddle : {0, 1}) {
    if (paddle == 0 ? !options.steerLeft : !options.steerRight) continue;
    pilots[paddle].emplace(*played).SteerPaddle(paddle, options.inputDelay);
    played = &seats[paddle].emplace(*pilots[paddle], paddle, options.inputDelay);
  }
  if (!twoPaddles) played = &pilots[0].emplace(platform);
  // Every game is recorded, and checked by playing it again once the run is over.
  std::vector<Replay> replays;
  std::optional<ReplayRecorder> recorder;
  recorder.emplace(*played, "SIM",
                   [&replays](Replay&& game) { replays.push_back(std::move(game)); });
  WatchingRenderer renderer;
  const bool forced = ForceEventsFromEnvironment();
  std::optional<FlashWatch> flashes;
  std::optional<TeeRenderer> drawnToo;
  if (!options.flashes.empty()) {
    if (!flashes.emplace().Open()) return 1;
    calmFlashes = options.calm;
    drawnToo.emplace(renderer, flashes->Drawing());
  }
  VirtualSoundDevice sound(platform);
  SetBeatSleep(SleepOnVirtualClock);

  long mostDrawing = 0;
  FrameChecks checks;
  platform.onFrameStart = [&checks] { checks.FrameStarts(); };
  std::string broken;
  long brokenAt = -1;
  platform.SetScript([&](TestPlatform& p, int pump) {
    if (brokenAt < 0) {
      broken = checks.AfterFrame(BeatThreadRunning(), renderer.frame);
      if (!broken.empty()) brokenAt = pump;
    }
    if (!options.capture.empty() && BeatThreadRunning() && renderer.frame.drawCalls > mostDrawing) {
      mostDrawing = renderer.frame.drawCalls;
      static testing::FrameSnapshot busiest;
      busiest.Take();
      busiest.Save(options.capture);
    }
    renderer.frame = DrawnFrame{};
    if (flashes) flashes->NoteFrame(BeatThreadRunning());
    platform.TapCancelNowAndThen();
    if (twoPaddles && !BeatThreadRunning()) menu.requestedGame = 1;
    const bool enoughGames = options.games > 0 && checks.tally().gamesEnded >= options.games;
    if (pump + 1 >= options.frames || brokenAt >= 0 || enoughGames) p.RequestClose();
  });

  ProgramOptions program;
  program.archivePath = (work.path() / "quellard.data").string();
  program.temporaryDirectory = temp.str();
  program.randomSeed = options.seed;
  program.stopThreadsOnExit = true;
  const int status = RunProgram(*recorder, drawnToo ? static_cast<Renderer&>(*drawnToo) : renderer,
                                sound, program);
  SetBeatSleep(nullptr);
  recorder.reset();
  ForceEventsInTurn({});
  // Forced events are not in the replays: played again, the games would draw their own.
  const bool replaysMatch = forced || CheckSimReplays(replays, program);
  if (flashes) {
    flashes->Report();
    if (!flashes->WriteSeconds(options.flashes)) {
      std::printf("cannot write %s\n", options.flashes.c_str());
      return 1;
    }
  }

  Report(checks.tally(), options);
  if (!options.capture.empty()) std::printf("captured a frame of %ld draw calls\n", mostDrawing);
  if (status != 0) {
    std::printf("the program ended with status %d\n", status);
    return 1;
  }
  if (brokenAt >= 0) {
    const GameState& g = game;
    std::printf("BROKEN at frame %ld (seed %llu): %s\n", brokenAt, options.seed, broken.c_str());
    std::printf("  event %d, count %d, beat %d, lives %d, cancels %d, score %d, over %d\n",
                g.eventNumber, g.eventCount, beatCount.load(), g.lives, g.cancels, g.score,
                g.gameOver);
    return 1;
  }
  if (checks.tally().gamesEnded < options.games) {
    std::printf("only %ld of %ld games ended\n", checks.tally().gamesEnded, options.games);
    return 1;
  }
  if (options.everyEvent && !EveryEventApplied(checks.tally())) return 1;
  if (flashes && options.calm && flashes->MostFlashesInOneSecond() > 1) {
    std::printf("calm flashes more than once a second\n");
    return 1;
  }
  return replaysMatch ? 0 : 1;
}

}  // namespace
}  // namespace fenwhit::sim

int main(int argc, char** argv) {
  fenwhit::sim::Options options;
  if (!fenwhit::sim::Parse(argc, argv, options)) {
    fenwhit::sim::Usage();
    return 2;
  }
  return fenwhit::sim::Run(options);
}
