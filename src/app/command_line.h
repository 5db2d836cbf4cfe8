#pragma once
// The few options the program takes. Parsed before anything else starts, so asking for
// help, the version or giving a bad option never opens a window.
#include <ostream>
#include <string>

namespace fenwhit {

struct CommandLine {
  enum class Action { kPlay, kHelp, kVersion, kScores, kBadUsage };
  enum class Screen { kRemembered, kFullscreen, kWindow };
  Action action = Action::kPlay;
  bool autoplay = false;
  // --fullscreen and --window choose for one run, over the remembered choice.
  Screen screen = Screen::kRemembered;
  // The first argument not understood, for the complaint.
  std::string unknown;
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// Answers help, the version and bad usage on out or err and returns the exit status:
// 0 for help and the version, 2 for bad usage. kPlay and kScores are the caller's.
int AnswerCommandLine(const CommandLine& commandLine, std::ostream& out, std::ostream& err);

}  // namespace fenwhit
