// The tables the frame thread shows: a game's rank is known the moment it ends, even with
// the disk stuck, and the file's merge with other copies' games comes back in afterwards
// without ever hiding a game entered since.
#include "scoreboard/queued_scores.h"

#include <gtest/gtest.h>

#include <sstream>

#include "keep/background_writer.h"
#include "support/scratch_dir.h"
#include "support/writer_gate.h"

namespace fenwhit {
namespace {

using testing::ScratchDir;
using testing::WriterGate;

ScoreEntry Entry(int64_t score, std::string name) {
  return {score, std::move(name), "2026-01-02", 10, 60};
}

std::vector<int64_t> Scores(const ScoreTables& tables) {
  std::vector<int64_t> scores;
  for (const ScoreEntry& entry : tables.kinds[0]) scores.push_back(entry.score);
  return scores;
}

std::vector<int64_t> ScoresOnDisk(const std::string& path) {
  std::ostringstream err;
  ScoreFile file(path);
  file.Load(err);
  return Scores(file.Tables());
}

TEST(QueuedScores, RankAtOnceWhileTheDiskIsStuckThenTheMergeComesBack) {
  ScratchDir home;
  const std::string path = home.str() + "/scores";
  std::ostringstream err;
  ScoreFile file(path);
  file.Load(err);
  BackgroundWriter writer;
  QueuedScores scores(file, writer, err);
  // Another copy of the game enters a game this one has not read.
  {
    ScoreFile otherCopy(path);
    otherCopy.Load(err);
    otherCopy.Record(GameKind::kOnePaddle, Entry(500, "OTHER"), err);
  }

  WriterGate stuck(writer);
  stuck.AwaitReached();
  EXPECT_EQ(scores.Enter(GameKind::kOnePaddle, Entry(300, "ANN")), 1);
  WriterGate between(writer);
  EXPECT_EQ(scores.Enter(GameKind::kOnePaddle, Entry(200, "BOB")), 2);
  scores.Refresh();
  EXPECT_EQ(Scores(scores.Tables()), (std::vector<int64_t>{300, 200}));
  EXPECT_EQ(ScoresOnDisk(path), std::vector<int64_t>{500}) << "written on the frame thread";

  // The first entry is written, the second not yet: the tables that write left behind
  // lack BOB's game, which stays on the screen.
  stuck.Open();
  between.AwaitReached();
  EXPECT_EQ(ScoresOnDisk(path), (std::vector<int64_t>{500, 300}));
  scores.Refresh();
  EXPECT_EQ(Scores(scores.Tables()), (std::vector<int64_t>{300, 200}));

  between.Open();
  writer.Drain();
  scores.Refresh();
  EXPECT_EQ(Scores(scores.Tables()), (std::vector<int64_t>{500, 300, 200}));
  EXPECT_EQ(ScoresOnDisk(path), (std::vector<int64_t>{500, 300, 200}));
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace fenwhit
