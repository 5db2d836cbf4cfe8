#pragma once
// Checking recorded games headless: no window, no sound, the game's own loops on a virtual
// clock, as fast as the machine allows.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/program.h"
#include "replay/replay_file.h"
#include "replay/replay_player.h"
#include "replay/replay_store.h"

namespace fenwhit {

// Reads a replay this version of the game can play; nullopt with `why` (no file name)
// for a file that cannot be read, is damaged, or was recorded by another version.
std::optional<Replay> ReadPlayableReplay(const std::string& path, std::string& why);

// The replay of the best table entry that this version can play, passing over the others;
// nullopt with `why` (one line) when none is kept, or none of those kept can be played.
std::optional<Replay> ReadBestReplay(const ReplayStore& store,
                                     const std::vector<ReplayTableEntry>& table, std::string& why);

// Plays one recorded game through the whole program on the player's platform: start-up,
// then that game alone, in its screen mode. Returns the program's exit status; outcome
// says how the game came out.
int PlayRecordedGame(ReplayPlayer& player, Renderer& renderer, SoundDevice& sound,
                     ProgramOptions options, const Replay& replay, ReplayOutcome& outcome);

// Plays one recorded game through the whole program (start-up included) and says whether
// it comes out as recorded. base gives where the asset archive is.
ReplayOutcome CheckReplay(const Replay& replay, const ProgramOptions& base);

// fenwhit --check-replay: one line on out per file, "FILE: matches, score N, F frames, T s"
// or "FILE: differs from frame F: ..." (naming the recording machine's architecture when it
// is not this one's), or on err "FILE: cannot be checked: ...". Every file is read before
// any game is played; one replay is held in memory at a time. Returns 2 when a file cannot be
// read, else 1 when one differs, else 0.
int CheckReplayFiles(const std::vector<std::string>& files, const ProgramOptions& base,
                     std::ostream& out, std::ostream& err);

}  // namespace fenwhit
