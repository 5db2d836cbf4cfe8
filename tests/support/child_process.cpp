#include "support/child_process.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace fenwhit::testing {

Child StartProgram(const std::string& executable, const ScratchDir& workDir,
                   const ScratchDir& tempDir, std::vector<const char*> arguments,
                   const std::vector<std::string>& environment) {
  Child child;
  child.stdoutFile = workDir.path() / "stdout.txt";
  child.stderrFile = workDir.path() / "stderr.txt";
  arguments.insert(arguments.begin(), executable.c_str());
  arguments.push_back(nullptr);
  child.pid = fork();
  if (child.pid == 0) {
    if (chdir(workDir.str().c_str()) != 0) _exit(120);
    if (freopen(child.stdoutFile.c_str(), "w", stdout) == nullptr) _exit(121);
    if (freopen(child.stderrFile.c_str(), "w", stderr) == nullptr) _exit(121);
    setenv("TMPDIR", tempDir.str().c_str(), 1);
    // The files the game keeps go to the temporary folder, never the user's own.
    setenv("XDG_DATA_HOME", (tempDir.str() + "/data-home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (tempDir.str() + "/config-home").c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("DISPLAY");
    for (const std::string& setting : environment) putenv(const_cast<char*>(setting.c_str()));
    execv(executable.c_str(), const_cast<char* const*>(arguments.data()));
    _exit(127);
  }
  return child;
}

int WaitFor(const Child& child, std::chrono::milliseconds timeout, long* peakKilobytes) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    rusage usage{};
    if (wait4(child.pid, &status, WNOHANG, &usage) == child.pid) {
      if (peakKilobytes != nullptr) *peakKilobytes = usage.ru_maxrss;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

int CloseFromTheMenu(const Child& child) {
  kill(child.pid, SIGTERM);
  const int status = WaitFor(child, std::chrono::seconds(30));
  if (status == -1) {
    kill(child.pid, SIGKILL);
    WaitFor(child, std::chrono::seconds(5));
  }
  return status;
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int RunCommand(const std::vector<std::string>& command, std::string& output) {
  std::string line;
  for (const std::string& word : command) line += "'" + word + "' ";
  line += "2>&1";
  output.clear();
  FILE* pipe = popen(line.c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[4096];
  size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace fenwhit::testing
