#pragma once
// The best-scores tables as the frame thread shows them. A game enters them at once, so its
// rank shows as it ends; the file is re-read, merged and written on the writer thread, and
// what that merge found (the games of other copies of the game) comes back in afterwards.
#include <cstdint>
#include <memory>
#include <mutex>
#include <ostream>

#include "keep/score_file.h"

namespace fenwhit {

class BackgroundWriter;

class QueuedScores {
 public:
  // From now on the file is only touched on the writer thread.
  QueuedScores(ScoreFile& file, BackgroundWriter& writer, std::ostream& err);

  // The entry's rank (1..10), or 0.
  int Enter(GameKind kind, const ScoreEntry& entry);
  // Takes in the tables as the file held them once the last entry was written there.
  void Refresh();

  const ScoreTables& Tables() const { return shown_; }

 private:
  // Handed back by the writer thread; shared so that a job outliving these tables is safe.
  struct Written {
    std::mutex mutex;
    ScoreTables tables;
    uint64_t entries = 0;  // how many entries the file had been given
  };

  ScoreFile& file_;
  BackgroundWriter& writer_;
  std::ostream& err_;
  ScoreTables shown_;
  uint64_t entered_ = 0;
  uint64_t takenIn_ = 0;
  std::shared_ptr<Written> written_ = std::make_shared<Written>();
};

}  // namespace fenwhit
