// The options, the answers to them and their exit statuses.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fenwhit {
namespace {

struct Answer {
  CommandLine commandLine;
  int status = -1;
  std::string out;
  std::string err;
};

Answer AnswerTo(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "fenwhit");
  Answer answer;
  answer.commandLine = ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
  std::ostringstream out, err;
  answer.status = AnswerCommandLine(answer.commandLine, out, err);
  answer.out = out.str();
  answer.err = err.str();
  return answer;
}

TEST(CommandLine, PlaysAnswersOrRefusesWithTheUsage) {
  EXPECT_EQ(AnswerTo({}).commandLine.action, CommandLine::Action::kPlay);
  EXPECT_FALSE(AnswerTo({}).commandLine.autoplay);
  const Answer autoplay = AnswerTo({"--autoplay"});
  EXPECT_EQ(autoplay.commandLine.action, CommandLine::Action::kPlay);
  EXPECT_TRUE(autoplay.commandLine.autoplay);
  EXPECT_EQ(autoplay.commandLine.screen, CommandLine::Screen::kRemembered);
  const Answer both = AnswerTo({"--fullscreen", "--autoplay"});
  EXPECT_EQ(both.commandLine.action, CommandLine::Action::kPlay);
  EXPECT_TRUE(both.commandLine.screen == CommandLine::Screen::kFullscreen &&
              both.commandLine.autoplay);
  // Either choice holds for one run; the later of the two wins.
  EXPECT_EQ(AnswerTo({"--window"}).commandLine.screen, CommandLine::Screen::kWindow);
  EXPECT_EQ(AnswerTo({"--window", "--fullscreen"}).commandLine.screen,
            CommandLine::Screen::kFullscreen);
  const Answer scores = AnswerTo({"--scores"});
  EXPECT_EQ(scores.commandLine.action, CommandLine::Action::kScores);
  EXPECT_EQ(scores.out + scores.err, "");

  const Answer help = AnswerTo({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: fenwhit", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("--autoplay"), std::string::npos);
  for (const char* option : {"--fullscreen", "--window", "--scores"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(help.err, "");

  const Answer version = AnswerTo({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("fenwhit [0-9]+\\.[0-9]+\\.[0-9]+\n")))
      << version.out;

  for (const auto& arguments : std::vector<std::vector<const char*>>{
           {"--bogus"}, {"stray"}, {"--autoplay", "-a"}, {"--help", "--version", "extra"}}) {
    const Answer bad = AnswerTo(arguments);
    EXPECT_EQ(bad.commandLine.action, CommandLine::Action::kBadUsage) << arguments.back();
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find(arguments.back()), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("usage: fenwhit"), std::string::npos) << bad.err;
  }
}

// The replay, music and network options take their values and refuse what does not go
// with them.
TEST(CommandLine, OptionsTakeTheirValuesAndRefuseWhatDoesNotGo) {
  const Answer watch = AnswerTo({"--replay", "game.fwreplay", "--window"});
  EXPECT_EQ(watch.commandLine.action, CommandLine::Action::kReplay);
  EXPECT_EQ(watch.commandLine.replay, "game.fwreplay");
  EXPECT_EQ(watch.commandLine.screen, CommandLine::Screen::kWindow);
  const Answer timedemo = AnswerTo({"--replay", "best", "--timedemo", "--renderer", "immediate"});
  EXPECT_EQ(timedemo.commandLine.action, CommandLine::Action::kReplay);
  EXPECT_TRUE(timedemo.commandLine.timedemo);
  EXPECT_EQ(timedemo.commandLine.drawing, CommandLine::Drawing::kImmediate);
  EXPECT_EQ(timedemo.commandLine.timedemoFrames, "");
  const Answer frames =
      AnswerTo({"--timedemo-frames", "frames.txt", "--replay", "best", "--timedemo"});
  EXPECT_EQ(frames.commandLine.action, CommandLine::Action::kReplay);
  EXPECT_EQ(frames.commandLine.timedemoFrames, "frames.txt");
  const Answer check = AnswerTo({"--check-replay", "a.fwreplay", "b.fwreplay"});
  EXPECT_EQ(check.commandLine.action, CommandLine::Action::kCheckReplays);
  EXPECT_EQ(check.commandLine.checkReplays, (std::vector<std::string>{"a.fwreplay", "b.fwreplay"}));
  const Answer analyse = AnswerTo({"--analyse", "song.ogg"});
  EXPECT_EQ(analyse.commandLine.action, CommandLine::Action::kAnalyse);
  EXPECT_EQ(analyse.commandLine.analyse, "song.ogg");
  EXPECT_EQ(analyse.out + analyse.err, "");
  const Answer music = AnswerTo({"--autoplay", "--music", "/songs/my folder", "--window"});
  EXPECT_EQ(music.commandLine.action, CommandLine::Action::kPlay);
  EXPECT_EQ(music.commandLine.music, "/songs/my folder");
  EXPECT_TRUE(music.commandLine.autoplay);
  EXPECT_NE(AnswerTo({"--help"}).out.find("--music PATH"), std::string::npos);

  const Answer host = AnswerTo({"--host", "--autoplay", "--window", "--music", "a.ogg"});
  EXPECT_EQ(host.commandLine.action, CommandLine::Action::kPlay);
  ASSERT_TRUE(host.commandLine.network);
  EXPECT_EQ(host.commandLine.network->kind, NetRequest::Kind::kHost);
  EXPECT_EQ(host.commandLine.network->port, 0);  // the default
  EXPECT_TRUE(host.commandLine.autoplay);
  EXPECT_EQ(host.commandLine.music, "a.ogg");
  for (const char* port : {"1", "5030", "65535"}) {
    const Answer hostOn = AnswerTo({"--host", port, "--fullscreen"});
    ASSERT_TRUE(hostOn.commandLine.network) << port;
    EXPECT_EQ(std::to_string(hostOn.commandLine.network->port), port);
    EXPECT_EQ(hostOn.commandLine.screen, CommandLine::Screen::kFullscreen);
  }
  const Answer join = AnswerTo({"--autoplay", "--join", "kitchen.local:6000"});
  EXPECT_EQ(join.commandLine.action, CommandLine::Action::kPlay);
  ASSERT_TRUE(join.commandLine.network);
  EXPECT_EQ(join.commandLine.network->kind, NetRequest::Kind::kJoin);
  EXPECT_EQ(join.commandLine.network->address, "kitchen.local:6000");
  EXPECT_FALSE(AnswerTo({"--autoplay"}).commandLine.network);
  const Answer help = AnswerTo({"--help"});
  EXPECT_NE(help.out.find("--host [PORT]"), std::string::npos);
  EXPECT_NE(help.out.find("--join HOST[:PORT]"), std::string::npos);

  for (const auto& arguments : std::vector<std::vector<const char*>>{{"--host", "0"},
                                                                     {"--host", "65536"},
                                                                     {"--host", "50x"},
                                                                     {"--host", "-1"},
                                                                     {"--host", "kitchen"}}) {
    const Answer bad = AnswerTo(arguments);
    EXPECT_EQ(bad.status, 2) << arguments.back();
    EXPECT_EQ(
        bad.err.rfind("fenwhit: not a port (1 to 65535): " + std::string(arguments.back()), 0), 0u)
        << bad.err;
  }

  for (const auto& arguments : std::vector<std::vector<const char*>>{
           {"--replay", "--timedemo"},
           {"--replay", "game.fwreplay", "--autoplay"},
           {"--timedemo"},
           {"--replay", "best", "--timedemo", "--timedemo-frames"},
           {"--replay", "best", "--timedemo-frames", "frames.txt"},
           {"--renderer", "batch"},
           {"--check-replay"},
           {"--check-replay", "a.fwreplay", "--replay", "b.fwreplay"},
           {"--analyse"},
           {"--analyse", "song.ogg", "--replay", "best"},
           {"--analyse", "song.ogg", "--autoplay"},
           {"--music"},
           {"--music", "a.ogg", "--replay", "best"},
           {"--music", "a.ogg", "--check-replay", "a.fwreplay"},
           {"--music", "a.ogg", "--analyse", "b.ogg"},
           {"--join"},
           {"--join", "--autoplay"},
           {"--host", "--join", "kitchen"},
           {"--join", "kitchen", "--host", "5029"},
           {"--host", "--replay", "best"},
           {"--join", "kitchen", "--check-replay", "a.fwreplay"},
           {"--host", "--analyse", "song.ogg"},
           {"--join", "kitchen", "--scores"},
           {"--scores", "--host"}}) {
    const Answer bad = AnswerTo(arguments);
    EXPECT_EQ(bad.status, 2) << arguments.size() << " " << arguments.back();
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("usage: fenwhit"), std::string::npos) << bad.err;
  }
}

}  // namespace
}  // namespace fenwhit
