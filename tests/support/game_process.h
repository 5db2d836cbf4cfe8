#pragma once
// The built game as a process of its own, headless, with folders of its own: what it keeps
// (scores, settings, replays, the beat cache) lands in its temporary folder, and what it
// says in files. For tests that run two games side by side and watch them end.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/scratch_dir.h"

namespace fenwhit::testing {

class GameProcess {
 public:
  // name: how the test log calls it ("host", "guest").
  explicit GameProcess(std::string name);
  // Kills what still runs, so a failed test leaves no game behind.
  ~GameProcess();
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  // Starts the game with these arguments; environment ("NAME=value") goes over the
  // defaults (offscreen video, dummy sound, the folders below its temporary one).
  void Start(const std::vector<std::string>& arguments,
             const std::vector<std::string>& environment = {});
  // The exit status (128 + the signal for a killed one), or nullopt if it still runs when
  // `within` has passed. Asking again after the end gives the same status.
  std::optional<int> Wait(std::chrono::milliseconds within);
  bool Running();
  // SIGKILL, SIGSTOP, SIGCONT ... to a game that still runs.
  void Signal(int signal);
  pid_t Pid() const { return child_.pid; }
  // The most memory it held resident, once it has ended (0 before).
  long PeakResidentKilobytes() const { return peakKilobytes_; }
  const std::string& Name() const { return name_; }

  std::string Stdout() const;
  std::string Stderr() const;
  // The replays it kept, oldest first, and its best-scores file.
  std::vector<std::filesystem::path> Replays() const;
  std::filesystem::path ScoresFile() const;
  // `fenwhit --scores` over its folders: the tables as tab-separated lines.
  std::string ScoresTable() const;

 private:
  std::string name_;
  ScratchDir work_;
  ScratchDir temp_;
  Child child_;
  std::optional<int> status_;
  long peakKilobytes_ = 0;
};

// Runs the built game with these arguments to its end (at most `within`), headless;
// its exit status, or -1 when it had to be killed. output: its stdout and stderr.
int RunGame(const std::vector<std::string>& arguments, std::string& output,
            std::chrono::seconds within = std::chrono::seconds(120));

// Whether `fenwhit --help` mentions the word: tests of options still to come skip without.
bool GameHelpMentions(const std::string& word);

// A UDP port on 127.0.0.1 that nothing had bound a moment ago.
uint16_t FreeUdpPort();

// Whether something on this machine has bound the UDP port (IPv4) within the time given.
bool UdpPortBoundWithin(uint16_t port, std::chrono::milliseconds within);

}  // namespace fenwhit::testing
