// The best-scores tables and their file format.
#include "keep/scores.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace fenwhit {
namespace {

using namespace std::string_literals;

ScoreEntry Entry(int64_t score, std::string name = "ANN") {
  return {score, std::move(name), "2025-03-14", 12, 345};
}

std::vector<int64_t> ScoresOf(const ScoreTables& tables, GameKind kind) {
  std::vector<int64_t> scores;
  for (const ScoreEntry& entry : tables.kinds[static_cast<size_t>(kind)]) {
    scores.push_back(entry.score);
  }
  return scores;
}

// Scores 1000, 900, ... 100 of one-paddle games.
ScoreTables FullOnePaddleTable() {
  ScoreTables tables;
  for (int i = 0; i < kTableSize; ++i) {
    tables.kinds[0].push_back(Entry(1000 - 100 * i, "P" + std::to_string(i)));
  }
  return tables;
}

TEST(Scores, FullTablesOfBothKindsReadBack) {
  ScoreTables tables;
  for (int i = 0; i < kTableSize; ++i) {
    tables.kinds[0].push_back(
        {kMaxScore - i, "A.B-C_D " + std::to_string(i), "2024-02-29", i, 1000 + i});
    tables.kinds[1].push_back({500 - i * 50, "Z" + std::to_string(i), "1999-12-31", 7, 0});
  }
  const std::string text = FormatScores(tables);
  EXPECT_TRUE(
      text.starts_with("fenwhit scores 1\none\t1000000000000000\tA.B-C_D 0\t2024-02-29\t"
                       "0\t1000\n"));
  EXPECT_NE(text.find("\ntwo\t50\tZ9\t1999-12-31\t7\t0\n"), std::string::npos);
  std::string why;
  const std::optional<ScoreTables> back = ParseScores(text, why);
  ASSERT_TRUE(back) << why;
  EXPECT_EQ(*back, tables);

  // Rows written by hand in any order are sorted; equal scores keep the file's order.
  const auto handWritten = ParseScores(
      "fenwhit scores 1\n"
      "two\t5\tLOW\t2025-01-01\t0\t0\n"
      "one\t20\tFIRST\t2025-01-01\t0\t0\n"
      "two\t90\tHIGH\t2025-01-01\t0\t0\n"
      "one\t20\tSECOND\t2025-01-01\t0\t0\n"
      "one\t30\tTOP\t2025-01-01\t0\t0",
      why);
  ASSERT_TRUE(handWritten) << why;
  ASSERT_EQ(handWritten->kinds[0].size(), 3u);
  EXPECT_EQ(handWritten->kinds[0][0].name, "TOP");
  EXPECT_EQ(handWritten->kinds[0][1].name, "FIRST");
  EXPECT_EQ(handWritten->kinds[0][2].name, "SECOND");
  EXPECT_EQ(ScoresOf(*handWritten, GameKind::kTwoPaddles), (std::vector<int64_t>{90, 5}));

  // What the file cannot hold is left out rather than spoiling the whole file.
  ScoreTables odd;
  odd.kinds[1] = {Entry(3, "TAB\tNAME"), Entry(2), {1, "ANN", "2025-02-30", 0, 0}};
  const auto oddBack = ParseScores(FormatScores(odd), why);
  ASSERT_TRUE(oddBack) << why;
  EXPECT_EQ(ScoresOf(*oddBack, GameKind::kTwoPaddles), std::vector<int64_t>{2});

  // No file yet, only its first line or only blank lines: empty tables, not damage.
  EXPECT_EQ(ParseScores("", why), ScoreTables{});
  EXPECT_EQ(ParseScores("fenwhit scores 1\n", why), ScoreTables{});
  EXPECT_EQ(ParseScores("\n \r\n\t\n", why), ScoreTables{});

  // A file edited by hand: CR LF line ends, blank lines anywhere, no newline at the end.
  const auto edited = ParseScores(
      "\r\nfenwhit scores 1\r\n\r\n"
      "one\t20\tANN\t2025-01-01\t3\t4\r\n"
      "  \n"
      "two\t7\tBOB\t2025-01-02\t5\t6\r\r\n\r",
      why);
  ASSERT_TRUE(edited) << why;
  EXPECT_EQ(edited->kinds[0], (std::vector<ScoreEntry>{{20, "ANN", "2025-01-01", 3, 4}}));
  EXPECT_EQ(edited->kinds[1], (std::vector<ScoreEntry>{{7, "BOB", "2025-01-02", 5, 6}}));
  EXPECT_FALSE(WrittenByANewerVersion("\r\nfenwhit scores 1\r\n"));
}

TEST(Scores, AGameTakesItsRankAndTiesGoBelow) {
  ScoreTables tables = FullOnePaddleTable();
  EXPECT_EQ(InsertScore(tables, GameKind::kOnePaddle, Entry(5000, "NEW")), 1);
  EXPECT_EQ(ScoresOf(tables, GameKind::kOnePaddle),
            (std::vector<int64_t>{5000, 1000, 900, 800, 700, 600, 500, 400, 300, 200}));
  EXPECT_TRUE(tables.kinds[1].empty());

  tables = FullOnePaddleTable();
  EXPECT_EQ(InsertScore(tables, GameKind::kOnePaddle, Entry(150)), 10);
  EXPECT_EQ(tables.kinds[0].back().score, 150);
  EXPECT_EQ(InsertScore(tables, GameKind::kOnePaddle, Entry(149)), 0);
  EXPECT_EQ(InsertScore(tables, GameKind::kOnePaddle, Entry(150, "LATE")), 0);
  EXPECT_EQ(tables.kinds[0].size(), size_t{kTableSize});
  EXPECT_EQ(tables.kinds[0].back().name, "ANN");

  // The earlier game with the same score keeps its place.
  tables = FullOnePaddleTable();
  EXPECT_EQ(InsertScore(tables, GameKind::kOnePaddle, Entry(500, "TIE")), 7);
  EXPECT_EQ(tables.kinds[0][5].name, "P5");
  EXPECT_EQ(tables.kinds[0][6].name, "TIE");

  ScoreTables empty;
  EXPECT_EQ(InsertScore(empty, GameKind::kTwoPaddles, Entry(0)), 1);

  EXPECT_EQ(RankTitle(1), "NEW BEST!");
  EXPECT_EQ(RankTitle(2), "2ND BEST");
  EXPECT_EQ(RankTitle(3), "3RD BEST");
  EXPECT_EQ(RankTitle(4), "4TH BEST");
  EXPECT_EQ(RankTitle(10), "10TH BEST");
  EXPECT_EQ(RankTitle(0), "");
  EXPECT_EQ(RankTitle(11), "");
}

TEST(Scores, DamagedFilesAreRefusedWithTheReason) {
  const std::string header = "fenwhit scores 1\n";
  std::string elevenRows = header;
  for (int i = 0; i < 11; ++i)
    elevenRows += "two\t" + std::to_string(i) + "\tX\t2025-01-01\t0\t0\n";
  const std::pair<std::string, std::string> damaged[] = {
      {"fenwhit scores 2\n", "version 2 is newer than this game's"},
      {"fenwhit scores\n", "line 1: not a scores file"},
      {"fenwhit scores 1x\n", "line 1: not a scores file"},
      {"one\t1\tA\t2025-01-01\t0\t0\n", "line 1: not a scores file"},
      {"\n\nnot scores\n", "line 3: not a scores file"},
      {header + "one\t12a\tA\t2025-01-01\t0\t0\n", "line 2: bad score"},
      {header + "one\t-5\tA\t2025-01-01\t0\t0\n", "line 2: bad score"},
      {header + "one\t+5\tA\t2025-01-01\t0\t0\n", "line 2: bad score"},
      {header + "one\t99999999999999999999\tA\t2025-01-01\t0\t0\n", "line 2: bad score"},
      {header + "one\t1000000000000001\tA\t2025-01-01\t0\t0\n", "line 2: bad score"},
      {header + "one\t1\t\t2025-01-01\t0\t0\n", "line 2: bad name"},
      {header + "one\t1\tTHIRTEENCHARS\t2025-01-01\t0\t0\n", "line 2: bad name"},
      {header + "one\t1\tann\t2025-01-01\t0\t0\n", "line 2: bad name"},
      {header + "one\t1\tA\t2025-02-29\t0\t0\n", "line 2: bad date"},
      {header + "one\t1\tA\t2025-13-01\t0\t0\n", "line 2: bad date"},
      {header + "one\t1\tA\t25-01-01\t0\t0\n", "line 2: bad date"},
      {header + "one\t1\tA\t2025-01-01\t2147483648\t0\n", "line 2: bad number of events"},
      {header + "one\t1\tA\t2025-01-01\t0\t\n", "line 2: bad number of seconds"},
      {header + "one\t1\tA\t2025-01-01\t0\n", "line 2: not 6 tab-separated fields"},
      {header + "one\t1\tA\t2025-01-01\t0\t0\t0\n", "line 2: not 6 tab-separated fields"},
      {header + "three\t1\tA\t2025-01-01\t0\t0\n", "line 2: bad kind of game"},
      {header + "one\t1\tA\t2025-01-01\t0\r\t0\r\n", "line 2: bad number of events"},
      {header + "one\t1\tA\r\t2025-01-01\t0\t0\n", "line 2: bad name"},
      {header + "one\t1\tA\t2025-01-01\t0\t0" + std::string(200, '0') + "\n",
       "line 2: longer than 200 bytes"},
      {elevenRows, "line 12: more than 10 rows of kind two"},
      {header + "one\t1\tA\t2025-01-01\t0\t0\0\n"s, "holds a NUL byte"},
      {header + std::string(64 * 1024, '#'), "larger than 64 KiB"},
  };
  for (const auto& [text, reason] : damaged) {
    std::string why;
    EXPECT_FALSE(ParseScores(text, why)) << text;
    EXPECT_EQ(why, reason) << text;
    // Only the version line tells a newer table from a damaged one.
    EXPECT_EQ(WrittenByANewerVersion(text), reason.starts_with("version")) << text;
  }
  EXPECT_TRUE(WrittenByANewerVersion("\r\n \nfenwhit scores 3\r\nanything at all"));
}

TEST(Scores, TabSeparatedListing) {
  ScoreTables tables;
  InsertScore(tables, GameKind::kTwoPaddles, {70, "BOB", "2025-06-01", 3, 40});
  InsertScore(tables, GameKind::kOnePaddle, {80, "ANN", "2025-05-01", 4, 50});
  InsertScore(tables, GameKind::kOnePaddle, {90, "CY", "2025-05-02", 5, 60});
  EXPECT_EQ(ScoresAsTsv(tables),
            "kind\trank\tscore\tname\tdate\tevents\tseconds\n"
            "one\t1\t90\tCY\t2025-05-02\t5\t60\n"
            "one\t2\t80\tANN\t2025-05-01\t4\t50\n"
            "two\t1\t70\tBOB\t2025-06-01\t3\t40\n");
}

}  // namespace
}  // namespace fenwhit
