#pragma once
// The folder the replays are kept in: every game is saved, the latest few stay, and so does
// every game that is in a best-scores table.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "keep/scores.h"
#include "replay/replay_file.h"

namespace fenwhit {

// "<YYYY-MM-DD>_<HH-MM-SS>_<one|two>_<score>.fwreplay", local time of replay.startTime
std::string ReplayFileName(const Replay& replay);

struct ReplayTableEntry {
  int32_t kind;
  int64_t score;
  std::string date;  // "YYYY-MM-DD"
};

// Every entry of both best-scores tables.
std::vector<ReplayTableEntry> ReplayTableFrom(const ScoreTables& tables);

class ReplayStore {
 public:
  explicit ReplayStore(std::string folder);  // "" = keep nothing (no home folder)

  // Writes the replay atomically (the folder is made owner-only when missing), then removes
  // the replays older than the newest kKeepLast, except any whose kind, score and date match
  // an entry of `table`, and the one just written. Only files whose names have the replay
  // pattern are ever removed. A replay of the same second, kind and score as one already
  // there gets "-2", "-3" ... before ".fwreplay".
  // Returns the path written, or "" with `error` set (one line naming the file and the
  // reason); "" with `error` untouched when the store keeps nothing.
  std::string Save(const Replay& replay, const std::vector<ReplayTableEntry>& table,
                   std::string& error);

  // Replay files in the folder, oldest first (by the date-time in the name, then name).
  std::vector<std::string> List() const;

  // The path of the replay of the best table entry (highest score, either kind) that has a
  // replay file in the folder; "" when none. Of equal scores, the earlier game's.
  std::string Best(const std::vector<ReplayTableEntry>& table) const;

  static constexpr int kKeepLast = 20;

 private:
  std::string folder_;
};

// Reads and decodes one replay file; nullopt with `why` (e.g. "cannot be read: No such file
// or directory", "too large", or DecodeReplay's reason).
std::optional<Replay> ReadReplayFile(const std::string& path, std::string& why);

}  // namespace fenwhit
