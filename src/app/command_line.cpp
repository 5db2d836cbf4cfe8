#include "app/command_line.h"

#include <charconv>
#include <string_view>

namespace fenwhit {

namespace {

constexpr std::string_view kUsage =
    "usage: fenwhit [--autoplay] [--fullscreen | --window] [--music PATH]\n"
    "              [--host [PORT] | --join HOST[:PORT]]\n"
    "       fenwhit --replay FILE|best [--fullscreen | --window]\n"
    "       fenwhit --replay FILE|best --timedemo [--renderer batch|immediate]\n"
    "              [--timedemo-frames FILE]\n"
    "       fenwhit --check-replay FILE... | --analyse FILE | --scores | --help | --version\n"
    "  --autoplay      the game plays by itself, starting one game after another\n"
    "  --fullscreen    start in fullscreen this time (F11 or Alt+Enter switches at any time)\n"
    "  --window        start in a window this time\n"
    "  --music PATH    play the games to this song, or to the songs of this folder\n"
    "                  shuffled, this time (or drop them on the window in the menu)\n"
    "  --host [PORT]   wait for a player from another machine, on UDP port PORT\n"
    "                  (5029 unless given), and play one two-paddle game together\n"
    "  --join HOST[:PORT]  play with the game hosted on HOST (a name or an IPv4\n"
    "                  address), on port PORT (5029 unless given)\n"
    "  --replay FILE   play a recorded game again (best: the best game kept); Esc leaves\n"
    "  --timedemo      play the replay without sound as fast as it can be drawn, and print\n"
    "                  the frame times, each frame timed until it is drawn (--renderer\n"
    "                  immediate: with the reference renderer)\n"
    "  --timedemo-frames FILE  with --timedemo, write each frame's number, time in ms and\n"
    "                  what it showed (event title, pool counts) to FILE\n"
    "  --check-replay  play recorded games without a window on a virtual clock, and say\n"
    "                  whether each comes out as recorded (status 0 all, 1 not, 2 unreadable)\n"
    "  --analyse FILE  print a song's tempo and then the time of each beat in seconds\n"
    "  --scores        print the best-scores tables and exit\n"
    "  --help          show this text and exit\n"
    "  --version       show the version and exit\n"
    "The asset archive quellard.data is looked for in the working directory, beside\n"
    "the program, and in ../share/fenwhit/ from the program's folder.\n";

// A UDP port, 1 to 65535, in plain digits.
std::optional<uint16_t> ParsePort(std::string_view text) {
  unsigned value = 0;
  const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || fault != std::errc() || end != text.data() + text.size() || value == 0 ||
      value > 65535) {
    return std::nullopt;
  }
  return static_cast<uint16_t>(value);
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine commandLine;
  bool help = false;
  bool version = false;
  bool scores = false;
  bool checking = false;
  bool renderer = false;
  int networkOptions = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const bool hasValue = i + 1 < argc && std::string_view(argv[i + 1]).substr(0, 2) != "--";
    if (checking && argument.substr(0, 2) != "--") {
      commandLine.checkReplays.emplace_back(argument);
    } else if (argument == "--check-replay") {
      checking = true;
    } else if (argument == "--replay" && hasValue) {
      commandLine.replay = argv[++i];
    } else if (argument == "--analyse" && hasValue) {
      commandLine.analyse = argv[++i];
    } else if (argument == "--music" && hasValue) {
      commandLine.music = argv[++i];
    } else if (argument == "--timedemo") {
      commandLine.timedemo = true;
    } else if (argument == "--timedemo-frames" && hasValue) {
      commandLine.timedemoFrames = argv[++i];
    } else if (argument == "--renderer" && hasValue &&
               (std::string_view(argv[i + 1]) == "batch" ||
                std::string_view(argv[i + 1]) == "immediate")) {
      renderer = true;
      commandLine.drawing = std::string_view(argv[++i]) == "immediate"
                                ? CommandLine::Drawing::kImmediate
                                : CommandLine::Drawing::kBatched;
    } else if (argument == "--host") {
      ++networkOptions;
      commandLine.network = NetRequest{NetRequest::Kind::kHost, 0, ""};
      if (hasValue) {
        const std::optional<uint16_t> port = ParsePort(argv[++i]);
        if (!port) {
          commandLine.action = CommandLine::Action::kBadUsage;
          commandLine.badPort = true;
          commandLine.unknown = argv[i];
          return commandLine;
        }
        commandLine.network->port = *port;
      }
    } else if (argument == "--join" && hasValue) {
      ++networkOptions;
      commandLine.network = NetRequest{NetRequest::Kind::kJoin, 0, argv[++i]};
    } else if (argument == "--autoplay") {
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
  // The replay options mean nothing alone, nor with each other's opposite.
  const bool replaying = !commandLine.replay.empty();
  // A network game is played, with the options of play; one at a time.
  const bool networkMisplaced =
      networkOptions > 1 ||
      (networkOptions == 1 && (replaying || checking || scores || !commandLine.analyse.empty()));
  const bool framesAlone = !commandLine.timedemoFrames.empty() && !commandLine.timedemo;
  const bool misplaced =
      networkMisplaced || (checking && (commandLine.checkReplays.empty() || replaying)) ||
      ((commandLine.timedemo || renderer) && !replaying) || framesAlone ||
      (replaying && commandLine.autoplay) ||
      (!commandLine.analyse.empty() && (replaying || checking || commandLine.autoplay)) ||
      (!commandLine.music.empty() && (replaying || checking || !commandLine.analyse.empty()));
  if (help) {
    commandLine.action = CommandLine::Action::kHelp;
  } else if (version) {
    commandLine.action = CommandLine::Action::kVersion;
  } else if (misplaced) {
    commandLine.action = CommandLine::Action::kBadUsage;
    commandLine.misplaced = true;
    commandLine.unknown =
        networkMisplaced
            ? (commandLine.network->kind == NetRequest::Kind::kHost ? "--host" : "--join")
        : !commandLine.music.empty()   ? "--music"
        : !commandLine.analyse.empty() ? "--analyse"
        : checking                     ? "--check-replay"
        : framesAlone                  ? "--timedemo-frames"
        : replaying                    ? "--replay"
                                       : "--timedemo";
  } else if (scores) {
    commandLine.action = CommandLine::Action::kScores;
  } else if (!commandLine.analyse.empty()) {
    commandLine.action = CommandLine::Action::kAnalyse;
  } else if (checking) {
    commandLine.action = CommandLine::Action::kCheckReplays;
  } else if (replaying) {
    commandLine.action = CommandLine::Action::kReplay;
  }
  return commandLine;
}

int AnswerCommandLine(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
  switch (commandLine.action) {
    case CommandLine::Action::kPlay:
    case CommandLine::Action::kScores:
    case CommandLine::Action::kReplay:
    case CommandLine::Action::kCheckReplays:
    case CommandLine::Action::kAnalyse:
      return 0;
    case CommandLine::Action::kHelp:
      out << kUsage;
      return 0;
    case CommandLine::Action::kVersion:
      out << "fenwhit " << FENWHIT_VERSION << '\n';
      return 0;
    case CommandLine::Action::kBadUsage:
      err << "fenwhit: "
          << (commandLine.badPort     ? "not a port (1 to 65535)"
              : commandLine.misplaced ? "misplaced argument"
                                      : "unknown argument")
          << ": " << commandLine.unknown << '\n'
          << kUsage;
      return 2;
  }
  return 2;
}

}  // namespace fenwhit
