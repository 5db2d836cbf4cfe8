#pragma once
// The few options the program takes. Parsed before anything else starts, so asking for
// help, the version or giving a bad option never opens a window.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "netplay/net_session.h"

namespace fenwhit {

struct CommandLine {
  enum class Action {
    kPlay,
    kHelp,
    kVersion,
    kScores,
    kReplay,
    kCheckReplays,
    kAnalyse,
    kBadUsage
  };
  enum class Screen { kRemembered, kFullscreen, kWindow };
  enum class Drawing { kBatched, kImmediate };
  Action action = Action::kPlay;
  bool autoplay = false;
  // --fullscreen and --window choose for one run, over the remembered choice.
  Screen screen = Screen::kRemembered;
  // --replay FILE (or "best"), with --timedemo as fast as the drawing allows.
  std::string replay;
  bool timedemo = false;
  // --timedemo-frames FILE: where the timedemo writes every frame's time and what it showed.
  std::string timedemoFrames;
  Drawing drawing = Drawing::kBatched;
  // --check-replay FILE...
  std::vector<std::string> checkReplays;
  // --analyse FILE: the song whose beats to print.
  std::string analyse;
  // --music PATH: a song or a folder of songs for this run, over the remembered choice.
  std::string music;
  // --host [PORT] or --join HOST[:PORT]: a network game, hosted or joined.
  std::optional<NetRequest> network;
  // The first argument not understood, or one that does not go with the others, for the
  // complaint.
  std::string unknown;
  bool misplaced = false;
  // A port given to --host that is not one.
  bool badPort = false;
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// Answers help, the version and bad usage on out or err and returns the exit status:
// 0 for help and the version, 2 for bad usage. Playing, the scores, the replays and the
// analysis are the caller's.
int AnswerCommandLine(const CommandLine& commandLine, std::ostream& out, std::ostream& err);

}  // namespace fenwhit
