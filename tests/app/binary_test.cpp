// The real program, started as a process: its fatal start-up failures and a normal run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "app/archive_writer.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

using testing::ReadFileBytes;
using testing::ScratchDir;
namespace fs = std::filesystem;

struct Child {
  pid_t pid = -1;
  fs::path stdoutFile;
  fs::path stderrFile;
};

// Starts the game in workDir with TMPDIR=tempDir, headless; stdout and stderr go to files.
Child Start(const ScratchDir& workDir, const ScratchDir& tempDir,
            std::vector<const char*> arguments = {}) {
  Child child;
  child.stdoutFile = workDir.path() / "stdout.txt";
  child.stderrFile = workDir.path() / "stderr.txt";
  arguments.insert(arguments.begin(), FENWHIT_EXECUTABLE);
  arguments.push_back(nullptr);
  child.pid = fork();
  if (child.pid == 0) {
    if (chdir(workDir.str().c_str()) != 0) _exit(120);
    if (freopen(child.stdoutFile.c_str(), "w", stdout) == nullptr) _exit(121);
    if (freopen(child.stderrFile.c_str(), "w", stderr) == nullptr) _exit(121);
    setenv("TMPDIR", tempDir.str().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("DISPLAY");
    execv(FENWHIT_EXECUTABLE, const_cast<char* const*>(arguments.data()));
    _exit(127);
  }
  return child;
}

// Waits up to timeout; returns the exit status, or -1 if it is still running.
int WaitFor(const Child& child, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    if (waitpid(child.pid, &status, WNOHANG) == child.pid) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string DataFolder(const ScratchDir& temp) {
  return temp.str() + "/fenwhit-" + std::to_string(getuid()) + "/data";
}

TEST(Binary, WithoutAnArchiveExitsOneWithAMessage) {
  ScratchDir work, temp;
  const Child child = Start(work, temp);
  EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 1);
  const std::string message = ReadText(child.stderrFile);
  EXPECT_NE(message.find("quellard.data"), std::string::npos) << message;
  EXPECT_NE(message.find("missing"), std::string::npos) << message;
}

TEST(Binary, WithAWrongSignatureExitsOneAndWritesNothing) {
  ScratchDir work, temp;
  auto archive = BuildArchive({{"data\\select.ogg", {1, 2, 3}}});
  archive[0] = 'X';
  work.WriteFile("quellard.data", archive);
  const Child child = Start(work, temp);
  EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 1);
  EXPECT_NE(ReadText(child.stderrFile).find("signature"), std::string::npos);
  EXPECT_TRUE(temp.Files().empty());
}

TEST(Binary, WithAnArchiveUnpacksAndRunsUntilClosed) {
  ScratchDir work, temp;
  work.WriteFile("quellard.data",
                 BuildArchive({{"data\\select.ogg", {'s'}}, {"data\\balls\\x.png", {'b'}}}));
  const Child child = Start(work, temp);
  ASSERT_EQ(WaitFor(child, std::chrono::milliseconds(1500)), -1) << ReadText(child.stderrFile);
  EXPECT_EQ(ReadFileBytes(DataFolder(temp) + "/select.ogg"), std::vector<uint8_t>{'s'});
  EXPECT_EQ(ReadFileBytes(DataFolder(temp) + "/balls/x.png"), std::vector<uint8_t>{'b'});
  // SIGTERM arrives as a window-close request, which the menu takes after the intro.
  kill(child.pid, SIGTERM);
  const int status = WaitFor(child, std::chrono::seconds(30));
  if (status == -1) kill(child.pid, SIGKILL);
  EXPECT_EQ(status, 0);
}

// Without an archive a started program would exit 1 with a message: these never start.
TEST(Binary, HelpPrintsTheUsageAndExitsZero) {
  ScratchDir work, temp;
  const Child child = Start(work, temp, {"--help"});
  EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 0);
  EXPECT_EQ(ReadText(child.stdoutFile).rfind("usage: fenwhit", 0), 0u);
  EXPECT_EQ(ReadText(child.stderrFile), "");
  EXPECT_TRUE(temp.Files().empty());
}

TEST(Binary, AnUnknownOptionPrintsTheUsageOnStderrAndExitsTwo) {
  ScratchDir work, temp;
  const Child child = Start(work, temp, {"--bogus"});
  EXPECT_EQ(WaitFor(child, std::chrono::seconds(20)), 2);
  const std::string message = ReadText(child.stderrFile);
  EXPECT_NE(message.find("usage: fenwhit"), std::string::npos) << message;
  EXPECT_EQ(message.find("cannot start"), std::string::npos) << message;
  EXPECT_EQ(ReadText(child.stdoutFile), "");
  EXPECT_TRUE(temp.Files().empty());
}

}  // namespace
}  // namespace fenwhit
