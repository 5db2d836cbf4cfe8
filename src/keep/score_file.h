#pragma once
// The best-scores file, shared by every copy of the game the player runs. Each new score is
// recorded under a lock by re-reading the file, merging it with this copy's tables and
// writing the result, so two copies playing at once lose none of each other's scores.
#include <optional>
#include <ostream>
#include <string>

#include "keep/scores.h"

namespace fenwhit {

class ScoreFile {
 public:
  // An empty path keeps the scores for this session only: nothing is read or written.
  explicit ScoreFile(std::string path);

  // Reads the tables. A damaged or unreadable file is reported in one line on err, renamed
  // to <path>.damaged-N (a name no earlier one has) and a new, empty table starts.
  void Load(std::ostream& err);

  // Merges the file as it is now into these tables, inserts the entry and writes the file.
  // Returns the entry's rank (1..10), or 0. When the file cannot be written the tables
  // still change here and the rank is still right; only the first failure is reported.
  int Record(GameKind kind, const ScoreEntry& entry, std::ostream& err);

  const ScoreTables& Tables() const { return tables_; }

 private:
  // The tables in the file. A damaged file is moved aside and reads as empty; nullopt when
  // it cannot be moved, so that it is never written over.
  std::optional<ScoreTables> ReadFile(std::ostream& err);

  std::string path_;
  ScoreTables tables_;
  bool keptOnDisk_;
  bool warnedAboutWriting_ = false;
};

}  // namespace fenwhit
