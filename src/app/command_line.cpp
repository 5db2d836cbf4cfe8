#include "app/command_line.h"

#include <string_view>

namespace fenwhit {

namespace {

constexpr std::string_view kUsage =
    "usage: fenwhit [--autoplay] [--fullscreen | --window] | --scores | --help | --version\n"
    "  --autoplay    the game plays by itself, starting one game after another\n"
    "  --fullscreen  start in fullscreen this time (F11 or Alt+Enter switches at any time)\n"
    "  --window      start in a window this time\n"
    "  --scores      print the best-scores tables and exit\n"
    "  --help        show this text and exit\n"
    "  --version     show the version and exit\n"
    "The asset archive quellard.data is looked for in the working directory, beside\n"
    "the program, and in ../share/fenwhit/ from the program's folder.\n";

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine commandLine;
  bool help = false;
  bool version = false;
  bool scores = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--autoplay") {
      commandLine.autoplay = true;
    } else if (argument == "--fullscreen" || argument == "--window") {
      // The last of the two wins, as a later option does with most programs.
      commandLine.screen =
          argument == "--window" ? CommandLine::Screen::kWindow : CommandLine::Screen::kFullscreen;
    } else if (argument == "--scores") {
      scores = true;
    } else if (argument == "--help") {
      help = true;
    } else if (argument == "--version") {
      version = true;
    } else {
      // One bad argument spoils the whole line, whatever else it asks for.
      commandLine.action = CommandLine::Action::kBadUsage;
      commandLine.unknown = argument;
      return commandLine;
    }
  }
  if (help) {
    commandLine.action = CommandLine::Action::kHelp;
  } else if (version) {
    commandLine.action = CommandLine::Action::kVersion;
  } else if (scores) {
    commandLine.action = CommandLine::Action::kScores;
  }
  return commandLine;
}

int AnswerCommandLine(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
  switch (commandLine.action) {
    case CommandLine::Action::kPlay:
    case CommandLine::Action::kScores:
      return 0;
    case CommandLine::Action::kHelp:
      out << kUsage;
      return 0;
    case CommandLine::Action::kVersion:
      out << "fenwhit " << FENWHIT_VERSION << '\n';
      return 0;
    case CommandLine::Action::kBadUsage:
      err << "fenwhit: unknown argument: " << commandLine.unknown << '\n' << kUsage;
      return 2;
  }
  return 2;
}

}  // namespace fenwhit
