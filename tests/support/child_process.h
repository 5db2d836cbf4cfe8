#pragma once
// The real program started as a process, headless, with its output in files.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace fenwhit::testing {

struct Child {
  pid_t pid = -1;
  std::filesystem::path stdoutFile;
  std::filesystem::path stderrFile;
};

// Starts `executable` in workDir with TMPDIR=tempDir under SDL's offscreen and dummy
// drivers, the freedesktop data and config folders in tempDir (data-home, config-home);
// stdout and stderr go to files in workDir. environment ("NAME=value") is set after that,
// over it (a display to draw on, say).
Child StartProgram(const std::string& executable, const ScratchDir& workDir,
                   const ScratchDir& tempDir, std::vector<const char*> arguments = {},
                   const std::vector<std::string>& environment = {});

// Waits up to timeout; returns the exit status, or -1 if it is still running.
int WaitFor(const Child& child, std::chrono::milliseconds timeout, long* peakKilobytes = nullptr);

// A program that has run for a while is past its intro and in the menu, which takes
// SIGTERM as a window-close request and ends with status 0. Returns that status.
int CloseFromTheMenu(const Child& child);

std::string ReadText(const std::filesystem::path& path);

// Runs a command to its end; returns its exit status and puts its stdout and stderr,
// together, in `output`.
int RunCommand(const std::vector<std::string>& command, std::string& output);

}  // namespace fenwhit::testing
