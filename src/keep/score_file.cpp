#include "keep/score_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "keep/atomic_file.h"
#include "keep/file_lock.h"

namespace fenwhit {

namespace {

// Damaged files kept beside the scores before we stop making more.
constexpr int kMaxAsideFiles = 1000;

// Renames `path` to the first free <path>.damaged-N. Never replaces an existing file, even
// when another process makes one at the same moment. False with errno set on failure.
bool MoveAside(const std::string& path, std::string& aside) {
  for (int number = 1; number <= kMaxAsideFiles; ++number) {
    aside = path + ".damaged-" + std::to_string(number);
    if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
      return true;
    }
    if (errno == EEXIST) continue;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace rename: a new link fails on an existing name too.
    if (link(path.c_str(), aside.c_str()) == 0) {
      unlink(path.c_str());
      return true;
    }
    if (errno != EEXIST) return false;
  }
  errno = EEXIST;
  return false;
}

// Adds to `into` the entries of `from` it lacks; an entry in both stays once.
void Merge(ScoreTables& into, const ScoreTables& from) {
  for (size_t kind = 0; kind < into.kinds.size(); ++kind) {
    std::vector<ScoreEntry> unmatched = into.kinds[kind];
    std::vector<ScoreEntry> missing;
    for (const ScoreEntry& entry : from.kinds[kind]) {
      const auto same = std::find(unmatched.begin(), unmatched.end(), entry);
      if (same == unmatched.end()) {
        missing.push_back(entry);
      } else {
        unmatched.erase(same);
      }
    }
    for (const ScoreEntry& entry : missing) InsertScore(into, static_cast<GameKind>(kind), entry);
  }
}

}  // namespace

ScoreFile::ScoreFile(std::string path) : path_(std::move(path)), keptOnDisk_(!path_.empty()) {}

void ScoreFile::Load(std::ostream& err) {
  if (!keptOnDisk_) return;
  // No lock: every write renames a whole file into place, so a read sees one whole table,
  // and a file moved aside meanwhile reads as the empty table that follows it.
  Reading reading = ReadFile();
  switch (reading.kind) {
    case Reading::kTable:
      tables_ = std::move(reading.tables);
      return;
    case Reading::kDamaged:
      err << "fenwhit: " << path_ << ": " << reading.why
          << "; it is moved aside when the next score is kept\n";
      return;
    case Reading::kLeftAlone:
      WarnLeftAlone(reading.why, err);
      return;
  }
}

int ScoreFile::Record(GameKind kind, const ScoreEntry& entry, std::ostream& err) {
  if (!keptOnDisk_) return InsertScore(tables_, kind, entry);
  // Without the lock (another copy stuck holding it) merging still saves all but a score
  // that copy writes at this very moment.
  const FileLock lock(path_);
  Reading onDisk = ReadFile();
  // Tried again at each score: a file server that failed once may answer the next time.
  if (onDisk.kind == Reading::kLeftAlone) {
    WarnLeftAlone(onDisk.why, err);
    return InsertScore(tables_, kind, entry);
  }
  if (onDisk.kind == Reading::kDamaged && !SetAside(onDisk.why, err)) {
    return InsertScore(tables_, kind, entry);
  }
  ScoreTables merged = onDisk.tables;
  Merge(merged, tables_);
  tables_ = std::move(merged);
  const int rank = InsertScore(tables_, kind, entry);
  if (onDisk.kind == Reading::kTable && tables_ == onDisk.tables) return rank;
  std::string error;
  if (!WriteFileAtomically(path_, FormatScores(tables_), error) && !warnedAboutWriting_) {
    err << "fenwhit: cannot keep scores: " << error << "; they last for this session only\n";
    warnedAboutWriting_ = true;
  }
  return rank;
}

ScoreFile::Reading ScoreFile::ReadFile() const {
  std::string text;
  std::string error;
  switch (ReadSmallFile(path_, kScoresMaxBytes, text, error)) {
    case ReadResult::kMissing:
      return {};
    case ReadResult::kTooLarge:
      // Not read whole, so not known to be damaged: a later version may keep more.
      return {Reading::kLeftAlone, {}, "larger than 64 KiB"};
    case ReadResult::kUnreadable:
      return {Reading::kLeftAlone, {}, "cannot read it (" + error + ")"};
    case ReadResult::kOk:
      break;
  }
  Reading reading;
  if (std::optional<ScoreTables> tables = ParseScores(text, reading.why)) {
    reading.tables = std::move(*tables);
    return reading;
  }
  reading.kind = WrittenByANewerVersion(text) ? Reading::kLeftAlone : Reading::kDamaged;
  return reading;
}

bool ScoreFile::SetAside(const std::string& why, std::ostream& err) {
  std::string aside;
  if (MoveAside(path_, aside)) {
    err << "fenwhit: " << path_ << ": " << why << "; moved aside to " << aside
        << ", starting a new table\n";
    return true;
  }
  // Gone already: another copy of the game moved it aside.
  if (errno == ENOENT) return true;
  err << "fenwhit: " << path_ << ": " << why << "; cannot move it aside (" << std::strerror(errno)
      << "), so scores last for this session only\n";
  keptOnDisk_ = false;
  return false;
}

void ScoreFile::WarnLeftAlone(const std::string& why, std::ostream& err) {
  if (warnedAboutReading_) return;
  warnedAboutReading_ = true;
  err << "fenwhit: " << path_ << ": " << why
      << "; left as it is, so scores last for this session only\n";
}

}  // namespace fenwhit
