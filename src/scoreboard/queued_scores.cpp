#include "scoreboard/queued_scores.h"

#include "keep/background_writer.h"

namespace fenwhit {

QueuedScores::QueuedScores(ScoreFile& file, BackgroundWriter& writer, std::ostream& err)
    : file_(file), writer_(writer), err_(err), shown_(file.Tables()) {}

int QueuedScores::Enter(GameKind kind, const ScoreEntry& entry) {
  const uint64_t entries = ++entered_;
  writer_.Queue([&file = file_, &err = err_, written = written_, kind, entry, entries] {
    file.Record(kind, entry, err);
    const std::lock_guard lock(written->mutex);
    written->tables = file.Tables();
    written->entries = entries;
  });
  return InsertScore(shown_, kind, entry);
}

void QueuedScores::Refresh() {
  if (takenIn_ == entered_) return;
  const std::lock_guard lock(written_->mutex);
  // Tables written before the newest entry would hide it until its own write.
  if (written_->entries != entered_) return;
  shown_ = written_->tables;
  takenIn_ = entered_;
}

}  // namespace fenwhit
