#include "replay/replay_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <tuple>
#include <utility>

#include "keep/atomic_file.h"
#include "keep/calendar.h"
#include "keep/digits.h"

namespace fenwhit {

namespace {

constexpr std::string_view kExtension = ".fwreplay";
constexpr size_t kStampLength = 19;  // YYYY-MM-DD_HH-MM-SS
// Past this many names taken by others, something is wrong: stop looking.
constexpr int kMaxTries = 1000;
constexpr std::string_view kSequenceMark = "_n";
// Beyond any number of games played, and far from overflowing.
constexpr uint64_t kMaxSequence = uint64_t{1} << 60;

struct ReplayName {
  uint64_t sequence = 0;  // the save's number; 0 in names from before it was written
  std::string stamp;      // YYYY-MM-DD_HH-MM-SS
  int32_t kind = 0;
  int64_t score = 0;
  int suffix = 1;    // 1 for none, else the number after the "-" (older names)
  std::string base;  // the name up to the suffix or the sequence
};

bool IsStamp(std::string_view stamp) {
  for (size_t i = 0; i < kStampLength; ++i) {
    const char expected = i == 4 || i == 7 || i == 13 || i == 16 ? '-' : i == 10 ? '_' : '0';
    if (expected == '0' ? !IsDigit(stamp[i]) : stamp[i] != expected) return false;
  }
  return true;
}

// Takes apart a name ReplayFileName could have made (with or without a suffix).
std::optional<ReplayName> ParseReplayName(std::string_view name) {
  ReplayName parsed;
  if (name.size() < kStampLength + 6 + kExtension.size() || !name.ends_with(kExtension) ||
      !IsStamp(name)) {
    return std::nullopt;
  }
  parsed.stamp = name.substr(0, kStampLength);
  std::string_view rest = name.substr(kStampLength, name.size() - kStampLength - kExtension.size());
  if (rest.starts_with("_one_")) {
    parsed.kind = 0;
  } else if (rest.starts_with("_two_")) {
    parsed.kind = 1;
  } else {
    return std::nullopt;
  }
  rest.remove_prefix(5);
  const size_t end = std::min(rest.find('-'), rest.find('_'));
  if (!ParseDigits(rest.substr(0, end), parsed.score) || parsed.score > kMaxScore) {
    return std::nullopt;
  }
  parsed.base = name.substr(0, kStampLength + 5 + std::min(end, rest.size()));
  if (end == std::string_view::npos) return parsed;
  const std::string_view tail = rest.substr(end);
  if (tail.starts_with(kSequenceMark)) {
    if (!ParseDigits(tail.substr(kSequenceMark.size()), parsed.sequence) || parsed.sequence == 0 ||
        parsed.sequence > kMaxSequence) {
      return std::nullopt;
    }
  } else if (!ParseDigits(tail.substr(1), parsed.suffix) || parsed.suffix < 2) {
    return std::nullopt;
  }
  return parsed;
}

bool InTable(const ReplayName& name, const std::vector<ReplayTableEntry>& table) {
  return std::any_of(table.begin(), table.end(), [&name](const ReplayTableEntry& entry) {
    return entry.kind == name.kind && entry.score == name.score &&
           std::string_view(entry.date) == std::string_view(name.stamp).substr(0, 10);
  });
}

std::string_view NameOf(const std::string& path) {
  return std::string_view(path).substr(path.rfind('/') + 1);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

}  // namespace

std::string ReplayFileName(const Replay& replay, uint64_t sequence) {
  return FormatLocalTime(replay.startTime, "%Y-%m-%d_%H-%M-%S") +
         (replay.kind == 1 ? "_two_" : "_one_") +
         std::to_string(std::max<int64_t>(replay.finalScore, 0)) + std::string(kSequenceMark) +
         std::to_string(sequence) + std::string(kExtension);
}

std::vector<ReplayTableEntry> ReplayTableFrom(const ScoreTables& tables) {
  std::vector<ReplayTableEntry> table;
  for (size_t kind = 0; kind < tables.kinds.size(); ++kind) {
    for (const ScoreEntry& entry : tables.kinds[kind]) {
      table.push_back({static_cast<int32_t>(kind), entry.score, entry.date});
    }
  }
  return table;
}

ReplayStore::ReplayStore(std::string folder) : folder_(std::move(folder)) {}

std::string ReplayStore::Save(const Replay& replay, const std::vector<ReplayTableEntry>& table,
                              std::string& error) {
  if (folder_.empty()) return "";
  std::vector<std::string> kept = List();
  // One more than the newest, whatever the clock says.
  uint64_t sequence = 1;
  if (!kept.empty()) {
    if (const std::optional<ReplayName> newest = ParseReplayName(NameOf(kept.back()))) {
      sequence = std::min(newest->sequence, kMaxSequence - 1) + 1;
    }
  }
  std::string path = folder_ + "/" + ReplayFileName(replay, sequence);
  if (const std::string problem = ReplayProblem(replay); !problem.empty()) {
    error = "cannot keep the replay " + path + ": " + problem;
    return "";
  }
  // A name taken since the folder was listed (another game saving at once) is passed over.
  for (int tries = 1; Exists(path); ++tries) {
    if (tries == kMaxTries || sequence == kMaxSequence) {
      error = "cannot keep the replay " + path + ": too many replays";
      return "";
    }
    path = folder_ + "/" + ReplayFileName(replay, ++sequence);
  }
  std::string reason;
  if (!WriteFileAtomically(path, EncodeReplay(replay), reason)) {
    error = "cannot keep the replay " + path + ": " + reason;
    return "";
  }

  kept = List();
  const size_t older = kept.size() > kKeepLast ? kept.size() - kKeepLast : 0;
  for (size_t i = 0; i < older; ++i) {
    if (kept[i] == path) continue;
    const std::optional<ReplayName> parsed = ParseReplayName(NameOf(kept[i]));
    if (parsed && !InTable(*parsed, table)) unlink(kept[i].c_str());
  }
  return path;
}

std::vector<std::string> ReplayStore::List() const {
  if (folder_.empty()) return {};
  DIR* folder = opendir(folder_.c_str());
  if (folder == nullptr) return {};
  std::vector<std::pair<ReplayName, std::string>> found;
  while (const dirent* item = readdir(folder)) {
    const std::string_view name = item->d_name;
    const std::optional<ReplayName> parsed = ParseReplayName(name);
    if (!parsed) continue;
    // Links and folders that look like replays are not ours to read or remove.
    struct stat info {};
    if (fstatat(dirfd(folder), item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode)) {
      continue;
    }
    found.emplace_back(*parsed, folder_ + "/" + item->d_name);
  }
  closedir(folder);
  // In the order they were saved: older names (no number) by their date-time, where "-2"
  // came after the name without one and "-10" after "-9"; then the numbered ones.
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return std::tie(a.first.sequence, a.first.stamp, a.first.base, a.first.suffix) <
           std::tie(b.first.sequence, b.first.stamp, b.first.base, b.first.suffix);
  });
  std::vector<std::string> paths;
  for (auto& [name, path] : found) paths.push_back(std::move(path));
  return paths;
}

std::vector<std::string> ReplayStore::BestFirst(const std::vector<ReplayTableEntry>& table) const {
  std::vector<std::pair<int64_t, std::string>> tabled;
  for (std::string& path : List()) {
    const std::optional<ReplayName> parsed = ParseReplayName(NameOf(path));
    if (parsed && InTable(*parsed, table)) tabled.emplace_back(parsed->score, std::move(path));
  }
  // Of equal scores, the earlier game's first.
  std::stable_sort(tabled.begin(), tabled.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::string> paths;
  for (auto& [score, path] : tabled) paths.push_back(std::move(path));
  return paths;
}

std::optional<Replay> ReadReplayFile(const std::string& path, std::string& why) {
  std::string bytes;
  std::string error;
  switch (ReadSmallFile(path, kReplayMaxFileBytes, bytes, error)) {
    case ReadResult::kMissing:
      why = std::string("cannot be read: ") + std::strerror(ENOENT);
      return std::nullopt;
    case ReadResult::kTooLarge:
      why = "too large";
      return std::nullopt;
    case ReadResult::kUnreadable:
      why = "cannot be read: " + error;
      return std::nullopt;
    case ReadResult::kOk:
      break;
  }
  return DecodeReplay(bytes, why);
}

}  // namespace fenwhit
