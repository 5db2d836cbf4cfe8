#pragma once
// Keeps every finished game in the replay folder. The game is handed to the writer thread,
// which encodes and writes it and applies the store's keep rule against the best-scores
// file as the writer thread holds it; the frame that ends the game does none of it.
#include <ostream>

#include "keep/score_file.h"
#include "replay/replay_file.h"
#include "replay/replay_store.h"

namespace fenwhit {

class BackgroundWriter;

class ReplayKeeper {
 public:
  // This keeper, store, scores and err must outlive every write queued here (drain the
  // writer first); scores is the file the writer thread records the games in.
  ReplayKeeper(ReplayStore& store, const ScoreFile& scores, BackgroundWriter& writer,
               std::ostream& err);

  // A failure is reported once, on err: the games are still played and entered.
  void Keep(Replay&& replay);

 private:
  ReplayStore& store_;
  const ScoreFile& scores_;
  BackgroundWriter& writer_;
  std::ostream& err_;
  bool failed_ = false;  // touched on the writer thread only
};

}  // namespace fenwhit
