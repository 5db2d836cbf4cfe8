#include "keep/scores.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "keep/digits.h"
#include "keep/text_lines.h"

namespace fenwhit {

namespace {

constexpr std::array<std::string_view, 2> kKindWords = {"one", "two"};
constexpr std::string_view kVersionPrefix = "fenwhit scores ";
constexpr int kVersion = 1;

bool IsValidDate(std::string_view date) {
  if (date.size() != 10 || date[4] != '-' || date[7] != '-') return false;
  int year = 0;
  int month = 0;
  int day = 0;
  if (!ParseDigits(date.substr(0, 4), year) || !ParseDigits(date.substr(5, 2), month) ||
      !ParseDigits(date.substr(8, 2), day)) {
    return false;
  }
  if (year < 1 || month < 1 || month > 12 || day < 1) return false;
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool IsValidName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxNameLength &&
         std::all_of(name.begin(), name.end(), IsNameCharacter);
}

std::vector<std::string_view> SplitAtTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  while (true) {
    const size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return fields;
    line.remove_prefix(tab + 1);
  }
}

// The version the first line of a scores file names; 0 for any other line.
int VersionOf(std::string_view line) {
  int version = 0;
  if (!line.starts_with(kVersionPrefix) ||
      !ParseDigits(line.substr(kVersionPrefix.size()), version)) {
    return 0;
  }
  return version;
}

// The next line that holds more than blanks; a file edited by hand may have empty lines.
bool NextFilledLine(TextLines& lines, std::string_view& line) {
  while (lines.Next(line)) {
    if (line.find_first_not_of(" \t") != std::string_view::npos) return true;
  }
  return false;
}

// Reads one entry line; "" when it is good.
std::string ParseRow(std::string_view line, size_t& kind, ScoreEntry& entry) {
  const std::vector<std::string_view> fields = SplitAtTabs(line);
  if (fields.size() != 6) return "not 6 tab-separated fields";
  const auto word = std::find(kKindWords.begin(), kKindWords.end(), fields[0]);
  if (word == kKindWords.end()) return "bad kind of game";
  kind = static_cast<size_t>(word - kKindWords.begin());
  if (!ParseDigits(fields[1], entry.score) || entry.score > kMaxScore) return "bad score";
  if (!IsValidName(fields[2])) return "bad name";
  entry.name = fields[2];
  if (!IsValidDate(fields[3])) return "bad date";
  entry.date = fields[3];
  if (!ParseDigits(fields[4], entry.events)) return "bad number of events";
  if (!ParseDigits(fields[5], entry.seconds)) return "bad number of seconds";
  return "";
}

// Everything after the kind (and the rank, in the tab-separated listing).
std::string EntryFields(const ScoreEntry& entry) {
  return std::to_string(entry.score) + "\t" + entry.name + "\t" + entry.date + "\t" +
         std::to_string(entry.events) + "\t" + std::to_string(entry.seconds) + "\n";
}

}  // namespace

bool IsNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || IsDigit(c) || c == ' ' || c == '.' || c == '-' || c == '_';
}

bool IsValidEntry(const ScoreEntry& entry) {
  return entry.score >= 0 && entry.score <= kMaxScore && IsValidName(entry.name) &&
         IsValidDate(entry.date) && entry.events >= 0 && entry.seconds >= 0;
}

std::optional<ScoreTables> ParseScores(std::string_view text, std::string& why) {
  ScoreTables tables;
  if (text.size() > kScoresMaxBytes) {
    why = "larger than 64 KiB";
    return std::nullopt;
  }
  if (text.find('\0') != std::string_view::npos) {
    why = "holds a NUL byte";
    return std::nullopt;
  }
  TextLines lines(text);
  bool versionRead = false;
  for (std::string_view line; NextFilledLine(lines, line);) {
    const std::string where = lines.Where();
    if (line.size() > kScoresMaxLineBytes) {
      why = where + "longer than 200 bytes";
      return std::nullopt;
    }
    if (!versionRead) {
      versionRead = true;
      const int version = VersionOf(line);
      if (version < 1) {
        why = where + "not a scores file";
        return std::nullopt;
      }
      if (version > kVersion) {
        why = "version " + std::to_string(version) + " is newer than this game's";
        return std::nullopt;
      }
      continue;
    }
    size_t kind = 0;
    ScoreEntry entry;
    if (const std::string problem = ParseRow(line, kind, entry); !problem.empty()) {
      why = where + problem;
      return std::nullopt;
    }
    if (tables.kinds[kind].size() == kTableSize) {
      why = where + "more than " + std::to_string(kTableSize) + " rows of kind " +
            std::string(kKindWords[kind]);
      return std::nullopt;
    }
    tables.kinds[kind].push_back(std::move(entry));
  }
  // A file written by hand may list them in any order; among equal scores the file's order
  // stands.
  for (auto& table : tables.kinds) {
    std::stable_sort(table.begin(), table.end(),
                     [](const ScoreEntry& a, const ScoreEntry& b) { return a.score > b.score; });
  }
  return tables;
}

bool WrittenByANewerVersion(std::string_view text) {
  TextLines lines(text.substr(0, std::min(text.size(), kScoresMaxBytes)));
  std::string_view first;
  return NextFilledLine(lines, first) && VersionOf(first) > kVersion;
}

std::string FormatScores(const ScoreTables& tables) {
  std::string text = std::string(kVersionPrefix) + std::to_string(kVersion) + "\n";
  for (size_t kind = 0; kind < tables.kinds.size(); ++kind) {
    int written = 0;
    for (const ScoreEntry& entry : tables.kinds[kind]) {
      if (written == kTableSize) break;
      if (!IsValidEntry(entry)) continue;
      text += std::string(kKindWords[kind]) + "\t" + EntryFields(entry);
      ++written;
    }
  }
  return text;
}

int InsertScore(ScoreTables& tables, GameKind kind, const ScoreEntry& entry) {
  const auto index = static_cast<size_t>(kind);
  if (index >= tables.kinds.size()) return 0;
  std::vector<ScoreEntry>& table = tables.kinds[index];
  size_t place = 0;
  while (place < table.size() && table[place].score >= entry.score) ++place;
  if (place >= size_t{kTableSize}) return 0;
  table.insert(table.begin() + static_cast<std::ptrdiff_t>(place), entry);
  if (table.size() > size_t{kTableSize}) table.resize(kTableSize);
  return static_cast<int>(place) + 1;
}

std::string RankTitle(int rank) {
  switch (rank) {
    case 1:
      return "NEW BEST!";
    case 2:
      return "2ND BEST";
    case 3:
      return "3RD BEST";
    default:
      if (rank >= 4 && rank <= kTableSize) return std::to_string(rank) + "TH BEST";
      return "";
  }
}

std::string ScoresAsTsv(const ScoreTables& tables) {
  std::string text = "kind\trank\tscore\tname\tdate\tevents\tseconds\n";
  for (size_t kind = 0; kind < tables.kinds.size(); ++kind) {
    int rank = 0;
    for (const ScoreEntry& entry : tables.kinds[kind]) {
      text +=
          std::string(kKindWords[kind]) + "\t" + std::to_string(++rank) + "\t" + EntryFields(entry);
    }
  }
  return text;
}

}  // namespace fenwhit
