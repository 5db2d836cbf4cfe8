#pragma once
// The best-scores tables: ten entries for each kind of game, best first, and their file.
//
// The file: the line "fenwhit scores 1", then one line per entry,
// one|two <TAB> score <TAB> name <TAB> YYYY-MM-DD <TAB> events <TAB> seconds.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fenwhit {

enum class GameKind { kOnePaddle = 0, kTwoPaddles = 1 };

struct ScoreEntry {
  int64_t score = 0;
  std::string name;
  std::string date;  // "YYYY-MM-DD"
  int32_t events = 0;
  int32_t seconds = 0;

  bool operator==(const ScoreEntry&) const = default;
};

inline constexpr int kTableSize = 10;
inline constexpr size_t kScoresMaxBytes = 64 * 1024;
inline constexpr size_t kScoresMaxLineBytes = 200;
inline constexpr int64_t kMaxScore = 1'000'000'000'000'000;
inline constexpr size_t kMaxNameLength = 12;

struct ScoreTables {
  std::array<std::vector<ScoreEntry>, 2> kinds;  // index by GameKind, best first, at most 10 each

  bool operator==(const ScoreTables&) const = default;
};

// The characters a name in the table may have: A-Z 0-9 space . - _
bool IsNameCharacter(char c);

// Whether the file can hold the entry: a score from 0 to kMaxScore, a name of 1 to 12 of
// A-Z 0-9 space . - _, a real date, events and seconds not negative.
bool IsValidEntry(const ScoreEntry& entry);

// Parses a whole file; nullopt (with `why`, a short reason such as "line 4: bad score") for
// anything damaged or of a newer version. Blank lines and CR LF line ends are read; a text
// with nothing but blanks is an empty table.
std::optional<ScoreTables> ParseScores(std::string_view text, std::string& why);
// Whether the text's first line is the version line of a newer version than this game's:
// a table this game cannot read, but must not take for a damaged one either.
bool WrittenByANewerVersion(std::string_view text);
// Entries the file cannot hold are left out, so that what is written always reads back.
std::string FormatScores(const ScoreTables& tables);

// Puts the entry in its place; returns its rank 1..10, or 0 when it does not enter. A tie
// ranks below the entries already there (the earlier game keeps its place).
int InsertScore(ScoreTables& tables, GameKind kind, const ScoreEntry& entry);

// "NEW BEST!" for 1, "2ND BEST", "3RD BEST", "4TH BEST" ... "10TH BEST"; empty otherwise.
std::string RankTitle(int rank);

// Tab-separated, for `fenwhit --scores`: the header
// kind, rank, score, name, date, events, seconds, then one row per entry ("one" or "two").
std::string ScoresAsTsv(const ScoreTables& tables);

}  // namespace fenwhit
