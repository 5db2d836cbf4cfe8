#include "app/command_line.h"

#include <string_view>

namespace fenwhit {

namespace {

constexpr std::string_view kUsage =
    "usage: fenwhit [--autoplay] [--fullscreen] | --help | --version\n"
    "  --autoplay    the game plays by itself, starting one game after another\n"
    "  --fullscreen  start in fullscreen (F11 or Alt+Enter switches at any time)\n"
    "  --help        show this text and exit\n"
    "  --version     show the version and exit\n"
    "Run it where quellard.data is.\n";

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine commandLine;
  bool help = false;
  bool version = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--autoplay") {
      commandLine.autoplay = true;
    } else if (argument == "--fullscreen") {
      commandLine.fullscreen = true;
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
  }
  return commandLine;
}

int AnswerCommandLine(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
  switch (commandLine.action) {
    case CommandLine::Action::kPlay:
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
