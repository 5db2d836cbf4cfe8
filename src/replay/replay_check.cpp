#include "replay/replay_check.h"

#include <chrono>
#include <cstdio>
#include <optional>

#include "audio/silent_sound_device.h"
#include "gfx/recording_renderer.h"
#include "platform/test_platform.h"

namespace fenwhit {

std::optional<Replay> ReadPlayableReplay(const std::string& path, std::string& why) {
  std::optional<Replay> replay = ReadReplayFile(path, why);
  if (replay && replay->gameVersion != FENWHIT_VERSION) {
    why = "recorded by version " + replay->gameVersion + ", this is " + FENWHIT_VERSION;
    replay.reset();
  }
  return replay;
}

std::optional<Replay> ReadBestReplay(const ReplayStore& store,
                                     const std::vector<ReplayTableEntry>& table, std::string& why) {
  const std::vector<std::string> paths = store.BestFirst(table);
  if (paths.empty()) {
    why = "no replay of a best game is kept yet";
    return std::nullopt;
  }
  for (const std::string& path : paths) {
    if (std::optional<Replay> replay = ReadPlayableReplay(path, why)) return replay;
  }
  why = "none of the " + std::to_string(paths.size()) +
        " kept replays of best games can be played by this version (" + why + ")";
  return std::nullopt;
}

int PlayRecordedGame(ReplayPlayer& player, Renderer& renderer, SoundDevice& sound,
                     ProgramOptions options, const Replay& replay, ReplayOutcome& outcome) {
  player.Load(replay);
  options.screenMode = replay.screenMode;
  bool started = false;
  options.nextGame = [&] {
    if (started) return -1;
    started = true;
    return replay.kind;
  };
  const int status = RunProgram(player, renderer, sound, options);
  outcome = player.Finish();
  return status;
}

ReplayOutcome CheckReplay(const Replay& replay, const ProgramOptions& base) {
  TestPlatform machine;
  RecordingRenderer renderer(false);
  SilentSoundDevice sound;
  ReplayPlayer player(machine, ReplayPlayer::Mode::kCheck);
  ProgramOptions options = base;
  options.stopThreadsOnExit = true;
  ReplayOutcome outcome;
  const int status = PlayRecordedGame(player, renderer, sound, options, replay, outcome);
  if (status != 0) {
    outcome.matches = false;
    outcome.differsAt = 0;
    outcome.difference = "the game could not start (status " + std::to_string(status) + ")";
  }
  return outcome;
}

namespace {

// Names the machine a game that differs was recorded on, when it is another kind of machine.
std::string RecordedElsewhere(const Replay& replay) {
  if (replay.architecture.empty() || replay.architecture == ThisArchitecture()) return "";
  return " (recorded on " + replay.architecture + ", this is " + std::string(ThisArchitecture()) +
         ")";
}

std::optional<Replay> ReadToCheck(const std::string& file, std::ostream& err) {
  std::string why;
  std::optional<Replay> replay = ReadPlayableReplay(file, why);
  if (!replay) err << file << ": cannot be checked: " << why << '\n';
  return replay;
}

// Reads, plays and reports one file; false when it cannot be read.
bool CheckReplayFile(const std::string& file, const ProgramOptions& base, std::ostream& out,
                     std::ostream& err, bool& differs) {
  const std::optional<Replay> replay = ReadToCheck(file, err);
  if (!replay) return false;
  const auto start = std::chrono::steady_clock::now();
  const ReplayOutcome outcome = CheckReplay(*replay, base);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  out << file << ": ";
  if (outcome.matches) {
    char time[32];
    std::snprintf(time, sizeof(time), "%.2f", seconds);
    out << "matches, score " << outcome.score << ", " << outcome.frames << " frames, " << time
        << " s\n";
  } else {
    differs = true;
    out << "differs from frame " << outcome.differsAt << ": " << outcome.difference
        << RecordedElsewhere(*replay) << '\n';
  }
  out.flush();
  return true;
}

}  // namespace

int CheckReplayFiles(const std::vector<std::string>& files, const ProgramOptions& base,
                     std::ostream& out, std::ostream& err) {
  // Every file is read before any game is played, and read again to be played: one replay
  // is held at a time, however many files are named.
  bool unreadable = false;
  for (const std::string& file : files) {
    if (!ReadToCheck(file, err)) unreadable = true;
  }
  if (unreadable) return 2;
  bool differs = false;
  for (const std::string& file : files) {
    // A file changed since it was first read is still refused.
    if (!CheckReplayFile(file, base, out, err, differs)) unreadable = true;
  }
  return unreadable ? 2 : differs ? 1 : 0;
}

}  // namespace fenwhit
