#include "replay/replay_check.h"

#include <chrono>
#include <cstdio>
#include <optional>

#include "audio/silent_sound_device.h"
#include "gfx/recording_renderer.h"
#include "platform/test_platform.h"
#include "replay/replay_store.h"

namespace fenwhit {

std::optional<Replay> ReadPlayableReplay(const std::string& path, std::string& why) {
  std::optional<Replay> replay = ReadReplayFile(path, why);
  if (replay && replay->gameVersion != FENWHIT_VERSION) {
    why = "recorded by version " + replay->gameVersion + ", this is " + FENWHIT_VERSION;
    replay.reset();
  }
  return replay;
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

int CheckReplayFiles(const std::vector<std::string>& files, const ProgramOptions& base,
                     std::ostream& out, std::ostream& err) {
  std::vector<Replay> replays;
  bool unreadable = false;
  for (const std::string& file : files) {
    std::string why;
    std::optional<Replay> replay = ReadPlayableReplay(file, why);
    if (!replay) {
      err << file << ": cannot be checked: " << why << '\n';
      unreadable = true;
    } else {
      replays.push_back(std::move(*replay));
    }
  }
  if (unreadable) return 2;
  bool differs = false;
  for (size_t i = 0; i < replays.size(); ++i) {
    const auto start = std::chrono::steady_clock::now();
    const ReplayOutcome outcome = CheckReplay(replays[i], base);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    out << files[i] << ": ";
    if (outcome.matches) {
      char time[32];
      std::snprintf(time, sizeof(time), "%.2f", seconds);
      out << "matches, score " << outcome.score << ", " << outcome.frames << " frames, " << time
          << " s\n";
    } else {
      differs = true;
      out << "differs from frame " << outcome.differsAt << ": " << outcome.difference << '\n';
    }
    out.flush();
  }
  return differs ? 1 : 0;
}

}  // namespace fenwhit
