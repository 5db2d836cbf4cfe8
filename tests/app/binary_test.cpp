// The real program, started as a process: its fatal start-up failures, where it looks for
// its archive, and a normal run.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <sstream>
#include <vector>

#include "app/archive_writer.h"
#include "support/child_process.h"
#include "support/scratch_dir.h"
#include "support/synth_song.h"

namespace fenwhit {
namespace {

using testing::ReadFileBytes;
using testing::ReadText;
using testing::ScratchDir;
using testing::WaitFor;
namespace fs = std::filesystem;

testing::Child Start(const ScratchDir& workDir, const ScratchDir& tempDir,
                     std::vector<const char*> arguments = {}) {
  return testing::StartProgram(FENWHIT_EXECUTABLE, workDir, tempDir, std::move(arguments));
}

std::string DataFolder(const ScratchDir& temp) {
  return temp.str() + "/fenwhit-" + std::to_string(getuid()) + "/data";
}

std::vector<uint8_t> WronglySignedArchive() {
  auto archive = BuildArchive({{"data\\select.ogg", {1, 2, 3}}});
  archive[0] = 'X';
  return archive;
}

TEST(Binary, WithAWrongSignatureExitsOneAndWritesNothing) {
  ScratchDir work, temp;
  work.WriteFile("quellard.data", WronglySignedArchive());
  const auto child = Start(work, temp);
  EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 1);
  EXPECT_NE(ReadText(child.stderrFile).find("signature"), std::string::npos);
  EXPECT_TRUE(temp.Files().empty());
}

// The archive is looked for in the working directory, then beside the executable, then in
// ../share/fenwhit/ from there: the first place holding one is used, even a bad one.
TEST(Binary, LooksForItsArchiveHereThenBesideItselfThenInItsDataFolder) {
  ScratchDir tree, work, temp;
  const fs::path root = fs::canonical(tree.path());
  const fs::path executable = root / "bin" / "fenwhit";
  fs::create_directories(executable.parent_path());
  fs::copy_file(FENWHIT_EXECUTABLE, executable);
  const std::vector<fs::path> places = {fs::canonical(work.path()) / "quellard.data",
                                        root / "bin" / "quellard.data",
                                        root / "share" / "fenwhit" / "quellard.data"};

  auto child = testing::StartProgram(executable, work, temp);
  EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 1);
  const std::string missing = ReadText(child.stderrFile);
  EXPECT_NE(missing.find("quellard.data is missing"), std::string::npos) << missing;
  for (const fs::path& place : places) {
    EXPECT_NE(missing.find(place.string()), std::string::npos) << place << "\n" << missing;
  }

  for (int first = 2; first >= 0; --first) {
    if (first == 0) {
      work.WriteFile("quellard.data", WronglySignedArchive());
    } else {
      tree.WriteFile(fs::relative(places[first], root), WronglySignedArchive());
    }
    child = testing::StartProgram(executable, work, temp);
    EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 1);
    const std::string used = first == 0 ? "quellard.data" : places[first].string();
    const std::string message = ReadText(child.stderrFile);
    EXPECT_NE(message.find("archive " + used + " is not an asset archive"), std::string::npos)
        << message;
  }
  EXPECT_TRUE(temp.Files().empty());
}

TEST(Binary, WithAnArchiveUnpacksAndRunsUntilClosed) {
  ScratchDir work, temp;
  work.WriteFile("quellard.data",
                 BuildArchive({{"data\\select.ogg", {'s'}}, {"data\\balls\\x.png", {'b'}}}));
  const auto child = Start(work, temp);
  ASSERT_EQ(WaitFor(child, std::chrono::milliseconds(1500)), -1) << ReadText(child.stderrFile);
  EXPECT_EQ(ReadFileBytes(DataFolder(temp) + "/select.ogg"), std::vector<uint8_t>{'s'});
  EXPECT_EQ(ReadFileBytes(DataFolder(temp) + "/balls/x.png"), std::vector<uint8_t>{'b'});

  // A second copy started meanwhile puts new files in place of the ones the first has open
  // instead of rewriting them under it.
  struct stat first {};
  ASSERT_EQ(stat((DataFolder(temp) + "/select.ogg").c_str(), &first), 0);
  const auto second = Start(work, temp);
  ASSERT_EQ(WaitFor(second, std::chrono::milliseconds(1500)), -1) << ReadText(second.stderrFile);
  struct stat again {};
  ASSERT_EQ(stat((DataFolder(temp) + "/select.ogg").c_str(), &again), 0);
  EXPECT_NE(again.st_ino, first.st_ino);
  EXPECT_EQ(ReadFileBytes(DataFolder(temp) + "/select.ogg"), std::vector<uint8_t>{'s'});
  EXPECT_EQ(temp.Files().size(), 2u);  // no temporaries left behind

  // SIGTERM arrives as a window-close request, which the menu takes after the intro.
  EXPECT_EQ(testing::CloseFromTheMenu(second), 0);
  EXPECT_EQ(testing::CloseFromTheMenu(child), 0);
}

// Where nothing names a display SDL would draw offscreen, and the game run unseen until
// killed; a display that cannot be reached ends the same way.
TEST(Binary, WithoutADisplayExitsOneWithOneLineAndWritesNothing) {
  ScratchDir temp;
  for (const std::string display : {"", "DISPLAY=:30999"}) {
    std::vector<std::string> command = {
        "timeout", "20", "env", "-u", "SDL_VIDEODRIVER", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY",
        // and no default Wayland socket either
        "XDG_RUNTIME_DIR=" + temp.str(), "TMPDIR=" + temp.str(),
        "XDG_DATA_HOME=" + temp.str() + "/data-home",
        "XDG_CONFIG_HOME=" + temp.str() + "/config-home", "SDL_AUDIODRIVER=dummy"};
    if (!display.empty()) command.push_back(display);
    command.push_back(FENWHIT_EXECUTABLE);
    std::string output;
    EXPECT_EQ(testing::RunCommand(command, output), 1) << display << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_EQ(output.rfind("fenwhit: cannot start: no display was found", 0), 0u) << output;
    EXPECT_TRUE(temp.Files().empty());
  }
}

// Without an archive a started program would exit 1 with a message: these never start.
TEST(Binary, HelpPrintsTheUsageAndExitsZero) {
  ScratchDir work, temp;
  const auto child = Start(work, temp, {"--help"});
  EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 0);
  EXPECT_EQ(ReadText(child.stdoutFile).rfind("usage: fenwhit", 0), 0u);
  EXPECT_EQ(ReadText(child.stderrFile), "");
  EXPECT_TRUE(temp.Files().empty());
}

// Every file and folder below `dir` with what would show any change to it.
std::vector<std::string> Snapshot(const ScratchDir& dir) {
  std::vector<std::string> entries;
  for (const auto& item : fs::recursive_directory_iterator(dir.path())) {
    struct stat info {};
    lstat(item.path().c_str(), &info);
    entries.push_back(fs::relative(item.path(), dir.path()).string() + " " +
                      std::to_string(info.st_mode) + " " + std::to_string(info.st_ino) + " " +
                      std::to_string(info.st_size) + " " + std::to_string(info.st_mtim.tv_sec) +
                      "." + std::to_string(info.st_mtim.tv_nsec));
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

// --scores prints the tables kept in the data folder without opening a window. Neither it
// nor --replay best changes anything on disk, whatever the table holds.
TEST(Binary, ScoresAndTheBestReplayOnlyLook) {
  const std::string header = "kind\trank\tscore\tname\tdate\tevents\tseconds\n";
  const std::string table =
      "fenwhit scores 1\n"
      "two\t900\tBOB\t2026-11-30\t4\t75\n"
      "one\t1500\tALICE\t2026-12-01\t7\t120\n";
  const std::string listed = header +
                             "one\t1\t1500\tALICE\t2026-12-01\t7\t120\n"
                             "two\t1\t900\tBOB\t2026-11-30\t4\t75\n";
  const struct {
    const char* what;
    std::string text;
    std::string shown;
    std::string message;  // a part of the one line on stderr
  } cases[] = {
      {"crlf",
       "fenwhit scores 1\r\n\r\ntwo\t900\tBOB\t2026-11-30\t4\t75\r\n"
       "one\t1500\tALICE\t2026-12-01\t7\t120\r\n",
       listed, ""},
      {"damaged", table + "one\t12x\tEVE\t2026-12-02\t1\t5\n", header,
       "line 4: bad score; it is moved aside when the next score is kept"},
      {"newer", "fenwhit scores 2\n" + table.substr(17), header,
       "version 2 is newer than this game's; left as it is"},
  };
  for (const auto& [what, text, shown, message] : cases) {
    SCOPED_TRACE(what);
    ScratchDir work, temp;
    temp.WriteFile("data-home/fenwhit/scores", {text.begin(), text.end()});
    const std::vector<std::string> before = Snapshot(temp);
    auto child = Start(work, temp, {"--scores"});
    EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 0);
    EXPECT_EQ(ReadText(child.stdoutFile), shown);
    std::string printed = ReadText(child.stderrFile);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), message.empty() ? 0 : 1);
    EXPECT_NE(printed.find(message), std::string::npos) << printed;
    EXPECT_EQ(Snapshot(temp), before);

    child = Start(work, temp, {"--replay", "best"});
    EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 2);
    printed = ReadText(child.stderrFile);
    EXPECT_NE(printed.find("no replay of a best game is kept yet"), std::string::npos) << printed;
    EXPECT_EQ(Snapshot(temp), before);
  }
}

TEST(Binary, AnUnknownOptionPrintsTheUsageOnStderrAndExitsTwo) {
  ScratchDir work, temp;
  const auto child = Start(work, temp, {"--bogus"});
  EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 2);
  const std::string message = ReadText(child.stderrFile);
  EXPECT_NE(message.find("usage: fenwhit"), std::string::npos) << message;
  EXPECT_EQ(message.find("cannot start"), std::string::npos) << message;
  EXPECT_EQ(ReadText(child.stdoutFile), "");
  EXPECT_TRUE(temp.Files().empty());
}

// --analyse prints a song's tempo and beats without a window or sound; a file it cannot
// read is one line on stderr and status 2.
TEST(Binary, AnalysePrintsTheTempoAndBeatsOrOneLineForABadFile) {
  ScratchDir work, temp;
  const auto song = testing::RenderSong({.seconds = 8, .beatTime = testing::SteadyBeats(120)});
  testing::WriteWav(work.path() / "song.wav", song);
  auto child = Start(work, temp, {"--analyse", "song.wav"});
  EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 0);
  EXPECT_EQ(ReadText(child.stderrFile), "");
  std::istringstream out(ReadText(child.stdoutFile));
  std::string line;
  std::getline(out, line);
  EXPECT_TRUE(std::regex_match(line, std::regex("1[12][0-9]\\.[0-9][0-9]"))) << line;
  std::vector<double> beats;
  while (std::getline(out, line)) {
    EXPECT_TRUE(std::regex_match(line, std::regex("[0-9]+\\.[0-9]{3}"))) << line;
    beats.push_back(std::stod(line));
  }
  EXPECT_GE(testing::BeatAgreement(beats, song.beats), 0.95);

  work.WriteFile("song.ogg", std::vector<uint8_t>(64, 'x'));
  for (const char* bad : {"missing.ogg", "song.ogg"}) {
    child = Start(work, temp, {"--analyse", bad});
    EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 2);
    EXPECT_EQ(ReadText(child.stdoutFile), "");
    const std::string message = ReadText(child.stderrFile);
    EXPECT_TRUE(
        std::regex_match(message, std::regex(std::string("fenwhit: ") + bad + ": [^\\n]+\\n")))
        << message;
  }
  EXPECT_TRUE(temp.Files().empty());
}

// The options that fail, as a player meets them: --scores into a full disk says so by its
// status, and a replay that cannot be played ends with status 2 and one line, before
// anything is unpacked.
TEST(Binary, ScoresIntoAFullDiskAndAReplayThatCannotBePlayedFailWithTheirStatus) {
  ScratchDir work, temp;
  std::string output;
  EXPECT_EQ(testing::RunCommand({"env", "XDG_DATA_HOME=" + temp.str() + "/data-home", "sh", "-c",
                                 "exec \"$0\" --scores >/dev/full", FENWHIT_EXECUTABLE},
                                output),
            1)
      << output;
  const std::string missing = work.str() + "/missing.fwreplay";
  for (const char* replay : {missing.c_str(), "best"}) {
    const auto child = Start(work, temp, {"--replay", replay});
    EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 2) << replay;
    const std::string message = ReadText(child.stderrFile);
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_TRUE(temp.Files().empty()) << replay;
  }
}

// The autopilot's games never enter the best scores: closed in the middle of one, the
// program ends with status 0 and keeps no table.
TEST(Binary, AutoplayGamesNeverEnterTheBestScores) {
  ScratchDir work, temp;
  work.WriteFile("quellard.data",
                 BuildArchive(CollectAssetFolder(std::string(FENWHIT_SOURCE_DIR) + "/assets")));
  const auto child = Start(work, temp, {"--autoplay"});
  // The intro, the autopilot's wait in the menu, and a few seconds of its game.
  ASSERT_EQ(WaitFor(child, std::chrono::seconds(10)), -1) << ReadText(child.stderrFile);
  EXPECT_EQ(testing::CloseFromTheMenu(child), 0);
  EXPECT_FALSE(fs::exists(temp.path() / "data-home" / "fenwhit" / "scores"));
  EXPECT_EQ(ReadText(child.stderrFile), "");
}

}  // namespace
}  // namespace fenwhit
