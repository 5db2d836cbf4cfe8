// A network game played through the real program and its loops against a scripted peer in
// memory, on the virtual clock: what each player sees and what is kept of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <vector>

#include "app/display.h"
#include "audio/music.h"
#include "game/game_state.h"
#include "gfx/overlay_renderer.h"
#include "keep/background_writer.h"
#include "keep/score_file.h"
#include "netplay/net_game_drawing.h"
#include "netplay/net_game_platform.h"
#include "netplay/scripted_peer.h"
#include "pause/pause_platform.h"
#include "replay/game_snapshot.h"
#include "replay/replay_check.h"
#include "replay/replay_recorder.h"
#include "scoreboard/scoreboard_platform.h"
#include "support/beat_feeder.h"
#include "support/program_harness.h"
#include "support/text_drawn.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::BeatFeeder;
using testing::ProgramHarness;
using testing::ScriptedPeer;

constexpr int kFramesPerBeat = 19;

ReplayFrame Holding(int code, int32_t beats = 0) {
  ReplayFrame frame;
  frame.keys[code / 64] |= uint64_t{1} << (code % 64);
  frame.beats = beats;
  return frame;
}

bool Held(const ReplayFrame& frame, int code) {
  return (frame.keys[code / 64] >> (code % 64) & 1) != 0;
}

// The first frame of the game that holds Esc; -1 for none.
int64_t FirstEscape(const Replay& replay) {
  const auto found = std::find_if(replay.frames.begin(), replay.frames.end(),
                                  [](const ReplayFrame& f) { return Held(f, scan::kEsc); });
  return found == replay.frames.end() ? -1 : found - replay.frames.begin();
}

// The first frame whose input sent holds Esc; -1 for none.
int64_t FirstEscapeIn(const std::vector<NetMessage>& sent) {
  for (const NetMessage& m : sent) {
    const auto& inputs = std::get<NetInputs>(m);
    for (size_t i = 0; i < inputs.frames.size(); ++i) {
      if (Held(inputs.frames[i], scan::kEsc)) return inputs.firstFrame + static_cast<int64_t>(i);
    }
  }
  return -1;
}

// The program with the platforms a network game sits on: the pause, the scores, the
// recorder, and the network game outermost.
struct NetProgram {
  explicit NetProgram(LockstepSide ourSide) : peer(harness.platform, ourSide, "BEN") {
    hooks.playerName = "ANNA";
    hooks.keepReplay = [this](Replay&& game) { kept.push_back(std::move(game)); };
    hooks.drawHeld = [this](const std::string& notice) {
      harness.renderer.ClearCalls();
      ShowHeldGame(frames, notice);
      heldNotices.push_back(testing::TextDrawn(harness.renderer));
    };
    hooks.nameNextScore = [this](const std::string& name) { scoreboard.NameNextGame(name); };
    hooks.pauseTitle = [this](const std::string& title) { pauseTitles.push_back(title); };
    hooks.pause = &pause;
    frames.AddOverlay([this] {
      if (net != nullptr) DrawNetWord(net->MenuWord());
    });
  }

  // Runs the program; the script sees the pumps of the menu and of the game.
  int Run(std::function<void(TestPlatform&, int pump)> script) {
    NetGamePlatform platform(recorder, scoreboard, hooks, err);
    net = &platform;
    const int status = harness.Run(
        [&](TestPlatform& p, int pump) {
          lastFrameText = testing::TextDrawn(harness.renderer);
          harness.renderer.ClearCalls();
          // The intro plays its 202 frames first.
          if (!begun && !BeatThreadRunning() && pump > 250 && menu.menuFrames > 3) {
            begun = true;
            platform.Begin(std::make_unique<ScriptedPeer::Connection>(peer), 2);
          }
          script(p, pump);
        },
        platform, frames);
    net = nullptr;
    figures = platform.LastFigures();
    return status;
  }

  std::vector<NetMessage> Sent(auto is) const {
    std::vector<NetMessage> found;
    std::copy_if(peer.sent.begin(), peer.sent.end(), std::back_inserter(found), is);
    return found;
  }

  ProgramHarness harness{true};
  testing::ScratchDir home;
  ScoreFile scores{home.str() + "/scores"};
  BackgroundWriter writer;
  std::ostringstream err;
  PausePlatform pause{harness.platform, harness.sound, [] {}, true};
  ScoreboardPlatform scoreboard{pause, scores, writer, "ANNA", true, err};
  std::vector<Replay> recordedLocally;
  ReplayRecorder recorder{scoreboard, "ANNA",
                          [this](Replay&& game) { recordedLocally.push_back(std::move(game)); }};
  OverlayRenderer frames{harness.renderer};
  ScriptedPeer peer;
  NetGamePlatform::Hooks hooks;
  NetGamePlatform* net = nullptr;
  NetGameFigures figures;
  bool begun = false;

  std::vector<Replay> kept;
  std::vector<std::string> heldNotices;
  std::vector<std::string> pauseTitles;
  // What the last picture wrote in the game's font.
  std::string lastFrameText;
};

TEST(NetGame, TheHostPlaysWithTheGuestsKeysHeldUpPausedAndKeepsTheGame) {
  menu.menuIndex = 0;
  NetProgram program(LockstepSide::kHost);
  ScriptedPeer& guest = program.peer;
  // The guest holds its down key for a second, comes late once and pauses for ten seconds.
  guest.input = [](int64_t frame) {
    return frame >= 100 && frame < 160 ? Holding(scan::kDown) : ReplayFrame{};
  };
  guest.lateFrame = 300;
  guest.lateSeconds = 0.8;
  guest.pauseFrame = 450;
  guest.pauseSeconds = 10.0;
  BeatFeeder feeder(program.harness.sound);

  int64_t lastFrame = -1;
  int64_t downPressedAt = -1;
  int32_t leftBefore = 0, leftAfter = 0, rightBefore = 0, rightAfter = 0;
  std::vector<double> frameTimesAfterHold;
  size_t pingsBeforePause = 0, pingsAfterPause = 0;
  bool gameSeen = false;
  std::string menuWordAfter = "unseen";
  const int status = program.Run([&](TestPlatform& p, int) {
    NetGamePlatform& net = *program.net;
    if (!BeatThreadRunning()) {
      if (gameSeen) {
        if (menuWordAfter == "unseen") menuWordAfter = net.MenuWord();
        p.Press(scan::kEsc);  // back in the menu: leave
      }
      return;
    }
    gameSeen = true;
    const auto pings = [&] {
      return program.Sent([](const NetMessage& m) { return std::holds_alternative<NetPing>(m); })
          .size();
    };
    if (program.pause.Paused()) {
      if (pingsBeforePause == 0) pingsBeforePause = pings();
      return;
    }
    if (pingsBeforePause > 0 && pingsAfterPause == 0) pingsAfterPause = pings();
    const int64_t frame = net.FramesTaken();
    if (frame == lastFrame) return;  // held: the same frame again
    lastFrame = frame;
    if (frame == 100) rightBefore = game.paddleY[1];
    if (frame == 170) rightAfter = game.paddleY[1];
    if (frame == 200) {
      p.Press(scan::kDown);
      downPressedAt = frame;
      leftBefore = game.paddleY[0];
    }
    if (frame == 240) {
      p.Release(scan::kDown);
      leftAfter = game.paddleY[0];
    }
    if (frame > 300 && frameTimesAfterHold.size() < 10) frameTimesAfterHold.push_back(p.Now());
    if (frame % kFramesPerBeat == 0 && game.gameOver == 0) feeder.Deliver();
    if (frame == 700) p.Press(scan::kEsc);  // the local player leaves
  });
  ASSERT_EQ(status, 0);

  // Each player moves a paddle of their own with the one-paddle keys.
  EXPECT_GT(rightAfter - rightBefore, 100) << "the guest's down key moves the right paddle";
  EXPECT_GT(leftAfter - leftBefore, 100) << "the host's down key moves the left paddle";

  // The late answer held the game, said so once half a second had gone, and the frames
  // after it came at their pace, not in a burst.
  ASSERT_EQ(program.heldNotices.size(), 1u);
  EXPECT_NE(program.heldNotices[0].find("WAITING FOR BEN"), std::string::npos);
  EXPECT_GE(program.figures.longestHold, 40);
  ASSERT_EQ(frameTimesAfterHold.size(), 10u);
  for (size_t i = 1; i < frameTimesAfterHold.size(); ++i) {
    EXPECT_GT(frameTimesAfterHold[i] - frameTimesAfterHold[i - 1], 0.015) << "frame " << i;
  }

  // The guest's pause held this side too, named, and ten seconds of it were no silence.
  EXPECT_NE(std::find(program.pauseTitles.begin(), program.pauseTitles.end(), "PAUSED BY BEN"),
            program.pauseTitles.end());
  EXPECT_GE(pingsAfterPause - pingsBeforePause, 9u) << "the link kept alive while paused";

  // The local Esc went to the guest in the input and ended the game plainly, the lockstep
  // running on through its ending: no failure, no word.
  EXPECT_EQ(FirstEscapeIn(program.Sent(
                [](const NetMessage& m) { return std::holds_alternative<NetInputs>(m); })),
            702);
  EXPECT_TRUE(
      program.Sent([](const NetMessage& m) { return std::holds_alternative<NetGameEnd>(m); })
          .empty());
  EXPECT_EQ(program.err.str().find("the network game ended"), std::string::npos)
      << program.err.str();
  EXPECT_NE(program.err.str().find("fenwhit: network game: "), std::string::npos);
  EXPECT_EQ(menuWordAfter, "");

  // The game is kept as a two-paddle replay under both names, and plays again the same.
  EXPECT_TRUE(program.recordedLocally.empty()) << "the recorder never saw the network game";
  ASSERT_EQ(program.kept.size(), 1u);
  const Replay& kept = program.kept[0];
  EXPECT_EQ(kept.kind, 1);
  EXPECT_EQ(kept.player, "ANNA-BEN");
  EXPECT_GT(std::count_if(kept.frames.begin(), kept.frames.end(),
                          [](const ReplayFrame& f) { return f.beats > 0; }),
            10);
  const ReplayOutcome again = CheckReplay(kept, program.harness.options);
  EXPECT_TRUE(again.matches) << "frame " << again.differsAt << ": " << again.difference;
  EXPECT_EQ(again.score, kept.finalScore);
  EXPECT_GT(kept.finalScore, 0);
  EXPECT_EQ(FirstEscape(kept), 702) << "both sides leave at the frame the input delay later";

  // A key pressed here moves the paddle in the merged frame the input delay later.
  const auto firstDown = std::find_if(kept.frames.begin(), kept.frames.end(),
                                      [](const ReplayFrame& f) { return Held(f, scan::kS); });
  ASSERT_NE(firstDown, kept.frames.end());
  EXPECT_EQ(firstDown - kept.frames.begin() - downPressedAt, 2);

  // The score entered the two-paddle table under both names.
  const auto& twoPaddles = program.scoreboard.Tables().kinds[1];
  ASSERT_EQ(twoPaddles.size(), 1u);
  EXPECT_EQ(twoPaddles[0].name, "ANNA-BEN");
  EXPECT_EQ(twoPaddles[0].score, kept.finalScore);
}

// The guest as a scripted host has it: once honest, then apart, then left in silence.
struct GuestRun {
  static constexpr int kHostDelay = 3;
  // The host's start: mode 2 (1366 x 768), a fixed seed, a state saved once.
  static NetGameStart Start() {
    static const std::vector<uint8_t> state = SaveGameState();
    return {2, 777, state, kHostDelay};
  }

  explicit GuestRun(std::function<void(ScriptedPeer&, NetGamePlatform::Hooks&)> setUp) {
    program.peer.firstInputFrame = kHostDelay;
    program.peer.input = [](int64_t frame) {
      ReplayFrame input = frame >= 100 && frame < 140 ? Holding(scan::kUp) : ReplayFrame{};
      input.beats = frame % kFramesPerBeat == 0 ? 1 : 0;
      return input;
    };
    setUp(program.peer, program.hooks);
    status = program.Run([&](TestPlatform& p, int) {
      if (program.begun && !startSent) {
        program.peer.SendStart(Start());
        startSent = true;
      }
      if (!BeatThreadRunning()) {
        if (widthInGame > 0) p.Release(scan::kEsc);  // let go after leaving the game
        if (widthInGame > 0 && ++menuPumps == 3) {
          widthAfter = p.LastWidth();
          menuWord = program.net->MenuWord();
          menuText = program.lastFrameText;
          p.Press(scan::kEsc);  // back in the menu: leave
        }
        return;
      }
      widthInGame = p.LastWidth();
      if (program.net->FramesTaken() == 400) p.Press(scan::kEsc);
    });
  }

  std::vector<NetChecksum> Checksums() const {
    std::vector<NetChecksum> sums;
    for (const NetMessage& m : program.peer.sent) {
      if (const auto* sum = std::get_if<NetChecksum>(&m)) sums.push_back(*sum);
    }
    return sums;
  }
  bool PeerToldEnd(const std::string& why) const {
    return !program
                .Sent([&](const NetMessage& m) {
                  const auto* end = std::get_if<NetGameEnd>(&m);
                  return end != nullptr && end->why == why;
                })
                .empty();
  }
  void ExpectKeptGameChecks() const {
    ASSERT_EQ(program.kept.size(), 1u);
    const Replay& kept = program.kept[0];
    EXPECT_EQ(kept.screenMode, 2);
    EXPECT_EQ(kept.seed, 777u);
    EXPECT_EQ(kept.player, "BEN-ANNA") << "the host's name first";
    const ReplayOutcome again = CheckReplay(kept, program.harness.options);
    EXPECT_TRUE(again.matches) << "frame " << again.differsAt << ": " << again.difference;
    EXPECT_EQ(again.score, kept.finalScore);
  }

  NetProgram program{LockstepSide::kGuest};
  bool startSent = false;
  int widthInGame = 0;
  int widthAfter = 0;
  std::string menuWord;
  std::string menuText;
  int menuPumps = 0;
  int status = -1;
};

TEST(NetGame, TheGuestPlaysTheHostsModeAndAFailureEndsTheGameOnBothSides) {
  menu.menuIndex = 0;
  const GuestRun honest([](ScriptedPeer&, NetGamePlatform::Hooks&) {});
  EXPECT_EQ(honest.status, 0) << honest.program.err.str();
  EXPECT_EQ(honest.widthInGame, 1366) << "the host's screen mode";
  EXPECT_EQ(honest.widthAfter, 1280) << "and the guest's own again after";
  EXPECT_EQ(FirstEscape(honest.program.kept.at(0)), 400 + GuestRun::kHostDelay)
      << "the local Esc ends it at the frame the input delay later";
  EXPECT_EQ(honest.program.err.str().find("the network game ended"), std::string::npos);
  honest.ExpectKeptGameChecks();
  const std::vector<NetChecksum> sums = honest.Checksums();
  ASSERT_GE(sums.size(), 4u);

  // This side's score changed before frame 100, against a host whose game did not: the
  // next checksum finds it, both sides hear it, and the program ends with a failure.
  setenv("FENWHIT_TEST_NET_DESYNC_FRAME", "100", 1);
  const GuestRun apart([&](ScriptedPeer& peer, NetGamePlatform::Hooks& hooks) {
    peer.checksum = [&](int64_t frame, uint64_t) { return sums.at(frame / 60).value; };
    hooks.endAfterGame = true;
  });
  unsetenv("FENWHIT_TEST_NET_DESYNC_FRAME");
  EXPECT_EQ(apart.status, 1);
  const std::string apartWord = "the games went apart at frame 120";
  EXPECT_NE(apart.program.err.str().find("fenwhit: the network game ended: " + apartWord + "\n"),
            std::string::npos)
      << apart.program.err.str();
  EXPECT_TRUE(apart.PeerToldEnd(apartWord));
  ASSERT_EQ(apart.program.kept.size(), 1u);

  // A host silent for ten seconds ends the game; the menu shows why, and what was played
  // is kept and plays again the same.
  const GuestRun silent([](ScriptedPeer& peer, NetGamePlatform::Hooks&) { peer.silentFrom = 200; });
  EXPECT_EQ(silent.status, 0);
  const std::string silentWord = "BEN has been silent for 10 s";
  EXPECT_NE(silent.program.err.str().find("fenwhit: the network game ended: " + silentWord),
            std::string::npos)
      << silent.program.err.str();
  EXPECT_EQ(silent.menuWord, silentWord);
  EXPECT_NE(silent.menuText.find("BEN HAS BEEN SILENT FOR 10 S"), std::string::npos)
      << silent.menuText;
  EXPECT_EQ(silent.widthAfter, 1280);
  silent.ExpectKeptGameChecks();

  // The host's player's Esc ends the game here at the very frame it came for.
  const GuestRun escaped([](ScriptedPeer& peer, NetGamePlatform::Hooks&) {
    peer.input = [](int64_t frame) { return frame >= 150 ? Holding(scan::kEsc) : ReplayFrame{}; };
  });
  EXPECT_EQ(escaped.status, 0);
  EXPECT_EQ(escaped.program.err.str().find("the network game ended"), std::string::npos);
  EXPECT_EQ(escaped.menuWord, "BEN ended the game");
  EXPECT_EQ(FirstEscape(escaped.program.kept.at(0)), 150);

  // The host's player leaving is a plain end: named in the menu, no failure.
  const GuestRun left([](ScriptedPeer& peer, NetGamePlatform::Hooks&) { peer.leaveFrame = 150; });
  EXPECT_EQ(left.status, 0);
  EXPECT_EQ(left.program.err.str().find("the network game ended"), std::string::npos);
  EXPECT_EQ(left.menuWord, "BEN ended the game");
  left.ExpectKeptGameChecks();

  // Waiting in the menu for a host that never starts, Space starts nothing; Esc gives up,
  // the host hears it, and the menu stays until Esc comes again.
  NetProgram waiting(LockstepSide::kGuest);
  int escapes = 0;
  bool escapeHeld = false;
  const int waitingStatus = waiting.Run([&](TestPlatform& p, int pump) {
    if (!waiting.begun || BeatThreadRunning()) return;
    if (pump % 20 == 0) {
      escapeHeld = !escapeHeld;
      if (escapeHeld) ++escapes;
    }
    if (escapes <= 3 && escapeHeld) {
      p.Press(escapes == 1 ? scan::kSpace : scan::kEsc);
    } else {
      p.ReleaseAll();
    }
  });
  EXPECT_EQ(waitingStatus, 0);
  EXPECT_EQ(escapes, 3) << "the first Esc left the program standing";
  EXPECT_TRUE(waiting.recordedLocally.empty() && waiting.kept.empty()) << "no game started";
  EXPECT_EQ(waiting.Sent([](const NetMessage& m) { return std::holds_alternative<NetGameEnd>(m); })
                .size(),
            1u);

  // A failure the host found first ends the game here as a failure too.
  const GuestRun told([](ScriptedPeer& peer, NetGamePlatform::Hooks& hooks) {
    peer.leaveFrame = 150;
    peer.leaveWhy = "the games went apart at frame 120";
    hooks.endAfterGame = true;
  });
  EXPECT_EQ(told.status, 1);
  EXPECT_NE(told.program.err.str().find("fenwhit: the network game ended: the games went apart"),
            std::string::npos)
      << told.program.err.str();
}

}  // namespace
}  // namespace fenwhit
