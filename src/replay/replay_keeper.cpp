#include "replay/replay_keeper.h"

#include <utility>

#include "keep/background_writer.h"

namespace fenwhit {

ReplayKeeper::ReplayKeeper(ReplayStore& store, const ScoreFile& scores, BackgroundWriter& writer,
                           std::ostream& err)
    : store_(store), scores_(scores), writer_(writer), err_(err) {}

void ReplayKeeper::Keep(Replay&& replay) {
  writer_.Queue([this, game = std::move(replay)] {
    std::string error;
    if (store_.Save(game, ReplayTableFrom(scores_.Tables()), error).empty() && !error.empty() &&
        !failed_) {
      failed_ = true;
      err_ << "fenwhit: replays are not kept: " << error << '\n';
    }
  });
}

}  // namespace fenwhit
