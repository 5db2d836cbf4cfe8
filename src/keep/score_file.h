#pragma once
// The best-scores file, shared by every copy of the game the player runs. Each new score is
// recorded under a lock by re-reading the file, merging it with this copy's tables and
// writing the result, so two copies playing at once lose none of each other's scores. A file
// is only ever set aside when it is damaged beyond doubt, and only by a copy about to write.
#include <optional>
#include <ostream>
#include <string>

#include "keep/scores.h"

namespace fenwhit {

class ScoreFile {
 public:
  // An empty path keeps the scores for this session only: nothing is read or written.
  explicit ScoreFile(std::string path);

  // Reads the tables, and never changes anything on disk: `fenwhit --scores` only looks.
  // A file that is not a scores table is reported in one line on err (the next Record sets
  // it aside); one that cannot be read, or was written by a newer version, is reported once
  // and left as it is, and this run's scores stay in memory.
  void Load(std::ostream& err);

  // Merges the file as it is now into these tables, inserts the entry and writes the file.
  // A damaged file (read whole, and no scores table) is first renamed to <path>.damaged-N
  // (a name no earlier one has) and a new table starts; one that cannot be read or is of a
  // newer version is never written over. Returns the entry's rank (1..10), or 0. When the
  // file cannot be kept the tables still change here and the rank is still right; each
  // reason is reported once.
  int Record(GameKind kind, const ScoreEntry& entry, std::ostream& err);

  const ScoreTables& Tables() const { return tables_; }

 private:
  struct Reading {
    enum Kind { kTable, kDamaged, kLeftAlone } kind = kTable;
    ScoreTables tables;  // for kTable; a missing file is an empty table
    std::string why;     // for the others
  };

  Reading ReadFile() const;
  // Renames a damaged file to a free <path>.damaged-N. False (and scores kept in memory from
  // then on) when it cannot be moved.
  bool SetAside(const std::string& why, std::ostream& err);
  void WarnLeftAlone(const std::string& why, std::ostream& err);

  std::string path_;
  ScoreTables tables_;
  bool keptOnDisk_;
  bool warnedAboutReading_ = false;
  bool warnedAboutWriting_ = false;
};

}  // namespace fenwhit
