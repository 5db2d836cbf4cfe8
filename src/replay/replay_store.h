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

// "<YYYY-MM-DD>_<HH-MM-SS>_<one|two>_<score>_n<sequence>.fwreplay": the local time of
// replay.startTime, and the save's number in the folder (1, 2, ...). Older names have no
// number, and may have "-2", "-3" ... before ".fwreplay".
std::string ReplayFileName(const Replay& replay, uint64_t sequence);

struct ReplayTableEntry {
  int32_t kind;
  int64_t score;
  std::string date;  // "YYYY-MM-DD", the local date of the game's start
};

// Every entry of both best-scores tables.
std::vector<ReplayTableEntry> ReplayTableFrom(const ScoreTables& tables);

class ReplayStore {
 public:
  explicit ReplayStore(std::string folder);  // "" = keep nothing (no home folder)

  // Writes the replay atomically (the folder is made owner-only when missing), numbered one
  // past the newest, then removes the replays saved before the last kKeepLast, except any
  // whose kind, score and date match an entry of `table`. Only files whose names have the
  // replay pattern are ever removed.
  // Returns the path written, or "" with `error` set (one line naming the file and the
  // reason); "" with `error` untouched when the store keeps nothing.
  std::string Save(const Replay& replay, const std::vector<ReplayTableEntry>& table,
                   std::string& error);

  // Replay files in the folder in the order they were saved, oldest first: the older
  // unnumbered names by the date-time in them, then the numbered ones by their number.
  std::vector<std::string> List() const;

  // The replays of table entries (either kind), highest score first; of equal scores, the
  // earlier saved first.
  std::vector<std::string> BestFirst(const std::vector<ReplayTableEntry>& table) const;

  static constexpr int kKeepLast = 20;

 private:
  std::string folder_;
};

// Reads and decodes one replay file; nullopt with `why` (e.g. "cannot be read: No such file
// or directory", "too large", or DecodeReplay's reason).
std::optional<Replay> ReadReplayFile(const std::string& path, std::string& why);

}  // namespace fenwhit
