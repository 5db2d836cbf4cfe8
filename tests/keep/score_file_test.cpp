// The best-scores file on disk: shared by copies of the game, damage set aside, failures.
#include "keep/score_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

using namespace std::string_literals;
using testing::ReadFileBytes;
using testing::ScratchDir;

ScoreEntry Entry(int64_t score, std::string name) {
  return {score, std::move(name), "2025-03-14", 1, 2};
}

std::vector<std::string> NamesOf(const ScoreTables& tables, GameKind kind) {
  std::vector<std::string> names;
  for (const ScoreEntry& entry : tables.kinds[static_cast<size_t>(kind)]) {
    names.push_back(entry.name);
  }
  return names;
}

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

TEST(ScoreFile, TwoCopiesRecordingInTurnLoseNothing) {
  ScratchDir dir;
  const std::string path = dir.str() + "/share/fenwhit/scores";
  std::ostringstream err;
  ScoreFile first(path);
  ScoreFile second(path);
  first.Load(err);
  second.Load(err);
  EXPECT_EQ(first.Record(GameKind::kOnePaddle, Entry(500, "ANN"), err), 1);
  EXPECT_EQ(second.Record(GameKind::kOnePaddle, Entry(400, "BOB"), err), 2);
  EXPECT_EQ(first.Record(GameKind::kOnePaddle, Entry(300, "ANN"), err), 3);
  EXPECT_EQ(second.Record(GameKind::kTwoPaddles, Entry(700, "BOB"), err), 1);
  EXPECT_EQ(first.Record(GameKind::kOnePaddle, Entry(450, "ANN"), err), 2);
  EXPECT_EQ(err.str(), "");
  // Each saw the other's games, and nothing came twice.
  EXPECT_EQ(NamesOf(first.Tables(), GameKind::kOnePaddle),
            (std::vector<std::string>{"ANN", "ANN", "BOB", "ANN"}));
  EXPECT_EQ(NamesOf(first.Tables(), GameKind::kTwoPaddles), std::vector<std::string>{"BOB"});

  ScoreFile later(path);
  later.Load(err);
  EXPECT_EQ(later.Tables(), first.Tables());
  EXPECT_EQ(err.str(), "");

  struct stat info {};
  ASSERT_EQ(stat((dir.str() + "/share").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(ScoreFile, DamagedFilesAreSetAsideWholeOnlyWhenAScoreIsKept) {
  const std::string header = "fenwhit scores 1\n";
  const std::string row = "one\t10\tANN\t2025-01-01\t0\t0\n";
  std::string elevenRows = header;
  for (int i = 0; i < 11; ++i) elevenRows += row;
  const std::pair<std::string, std::string> damaged[] = {
      {header + "one\t1O\tANN\t2025-01-01\t0\t0\n", "line 2: bad score"},
      {header + "one\t10\t" + std::string(190, 'A') + "\t2025-01-01\t0\t0\n",
       "line 2: longer than 200 bytes"},
      {elevenRows, "line 12: more than 10 rows of kind one"},
      {header + "one\t10\tANN\0\t2025-01-01\t0\t0\n"s, "holds a NUL byte"},
      {"fenwhit best scores\n" + row, "line 1: not a scores file"},
  };
  ScratchDir dir;
  const std::string path = dir.str() + "/scores";
  for (size_t i = 0; i < std::size(damaged); ++i) {
    const auto& [text, why] = damaged[i];
    dir.WriteFile("scores", Bytes(text));
    // Reading only reports it.
    ScoreFile file(path);
    std::ostringstream err;
    file.Load(err);
    EXPECT_EQ(err.str(), "fenwhit: " + path + ": " + why +
                             "; it is moved aside when the next score is kept\n");
    EXPECT_EQ(file.Tables(), ScoreTables{});
    EXPECT_EQ(ReadFileBytes(path), Bytes(text));
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged-" + std::to_string(i + 1)));

    // Keeping a score sets it aside and starts a new table with the score.
    err.str("");
    EXPECT_EQ(file.Record(GameKind::kTwoPaddles, Entry(5, "CY"), err), 1);
    const std::string aside = path + ".damaged-" + std::to_string(i + 1);
    EXPECT_EQ(err.str(), "fenwhit: " + path + ": " + why + "; moved aside to " + aside +
                             ", starting a new table\n");
    ScoreFile later(path);
    later.Load(err);
    EXPECT_EQ(later.Tables(), file.Tables());
    EXPECT_EQ(NamesOf(later.Tables(), GameKind::kTwoPaddles), std::vector<std::string>{"CY"});
    // Every file set aside so far still holds exactly the bytes it had.
    for (size_t j = 0; j <= i; ++j) {
      EXPECT_EQ(ReadFileBytes(path + ".damaged-" + std::to_string(j + 1)), Bytes(damaged[j].first));
    }
  }

  // Damage found when recording is set aside too, and the table goes on.
  ScoreFile file(path);
  std::ostringstream err;
  file.Load(err);
  dir.WriteFile("scores", Bytes("garbage"));
  EXPECT_EQ(file.Record(GameKind::kOnePaddle, Entry(40, "BOB"), err), 1);
  EXPECT_EQ(err.str(), "fenwhit: " + path + ": line 1: not a scores file; moved aside to " + path +
                           ".damaged-6, starting a new table\n");
  ScoreFile later(path);
  later.Load(err);
  EXPECT_EQ(NamesOf(later.Tables(), GameKind::kOnePaddle), std::vector<std::string>{"BOB"});
  EXPECT_EQ(NamesOf(later.Tables(), GameKind::kTwoPaddles), std::vector<std::string>{"CY"});
}

// A table this copy cannot read but that need not be damaged: a newer version's, one larger
// than any this version writes, one the file server or the disk fails to give.
TEST(ScoreFile, WhatCannotBeReadIsLeftAsItIsAndScoresStayInMemory) {
  const std::string newer = "fenwhit scores 2\none\t10\tANN\t2025-01-01\t0\t0\textra\n";
  const std::string large = "fenwhit scores 1\n" + std::string(70000, '\n');
  const std::string table = "fenwhit scores 1\none\t300\tOLD\t2025-01-01\t0\t0\n";
  const struct {
    const char* what;
    std::function<void(const ScratchDir&, const std::string&)> make;
    std::string why;
  } cases[] = {
      {"newer",
       [&](const ScratchDir& d, const std::string&) { d.WriteFile("scores", Bytes(newer)); },
       "version 2 is newer than this game's"},
      {"large",
       [&](const ScratchDir& d, const std::string&) { d.WriteFile("scores", Bytes(large)); },
       "larger than 64 KiB"},
      // Reading this process's memory at address 0 fails as a broken disk does.
      {"i/o error",
       [](const ScratchDir&, const std::string& path) {
         std::filesystem::create_symlink("/proc/self/mem", path);
       },
       "cannot read it (Input/output error)"},
      {"folder",
       [](const ScratchDir&, const std::string& path) { std::filesystem::create_directory(path); },
       "cannot read it (not a regular file)"},
  };
  for (const auto& [what, make, why] : cases) {
    SCOPED_TRACE(what);
    ScratchDir dir;
    const std::string path = dir.str() + "/scores";
    make(dir, path);
    const auto before = std::filesystem::symlink_status(path).type();
    const std::vector<uint8_t> bytes = before == std::filesystem::file_type::regular
                                           ? ReadFileBytes(path)
                                           : std::vector<uint8_t>{};

    ScoreFile file(path);
    std::ostringstream err;
    file.Load(err);
    const std::string warning =
        "fenwhit: " + path + ": " + why + "; left as it is, so scores last for this session only\n";
    EXPECT_EQ(err.str(), warning);
    EXPECT_EQ(file.Record(GameKind::kOnePaddle, Entry(500, "ANN"), err), 1);
    EXPECT_EQ(file.Record(GameKind::kOnePaddle, Entry(600, "BOB"), err), 1);
    EXPECT_EQ(err.str(), warning);
    EXPECT_EQ(NamesOf(file.Tables(), GameKind::kOnePaddle),
              (std::vector<std::string>{"BOB", "ANN"}));
    EXPECT_EQ(std::filesystem::symlink_status(path).type(), before);
    if (!bytes.empty()) {
      EXPECT_EQ(ReadFileBytes(path), bytes);
    }
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged-1"));

    // Once the file reads again, the scores kept in memory join it.
    std::filesystem::remove(path);
    dir.WriteFile("scores", Bytes(table));
    EXPECT_EQ(file.Record(GameKind::kOnePaddle, Entry(100, "CY"), err), 4);
    EXPECT_EQ(err.str(), warning);
    ScoreFile later(path);
    later.Load(err);
    EXPECT_EQ(NamesOf(later.Tables(), GameKind::kOnePaddle),
              (std::vector<std::string>{"BOB", "ANN", "OLD", "CY"}));
  }
}

TEST(ScoreFile, AnUnwritableFolderWarnsOnceAndStillRanks) {
  ScratchDir dir;
  // A file where a folder should be stops root as well as anyone.
  dir.WriteFile("blocker", Bytes("x"));
  const std::string path = dir.str() + "/blocker/fenwhit/scores";
  ScoreFile file(path);
  std::ostringstream err;
  file.Load(err);
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(file.Record(GameKind::kOnePaddle, Entry(500, "ANN"), err), 1);
  const std::string warning = err.str();
  EXPECT_TRUE(warning.starts_with("fenwhit: cannot keep scores: ")) << warning;
  EXPECT_TRUE(warning.ends_with("; they last for this session only\n")) << warning;
  EXPECT_NE(warning.find(dir.str() + "/blocker"), std::string::npos) << warning;
  EXPECT_EQ(file.Record(GameKind::kOnePaddle, Entry(600, "BOB"), err), 1);
  EXPECT_EQ(file.Record(GameKind::kOnePaddle, Entry(550, "CY"), err), 2);
  EXPECT_EQ(err.str(), warning);
  EXPECT_EQ(NamesOf(file.Tables(), GameKind::kOnePaddle),
            (std::vector<std::string>{"BOB", "CY", "ANN"}));
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"blocker"});

  // A damaged file that cannot be set aside, every name for it taken: one warning, and
  // the file is left alone from then on.
  ScratchDir full;
  const std::string stuckPath = full.str() + "/scores";
  full.WriteFile("scores", Bytes("garbage"));
  for (int n = 1; n <= 1000; ++n) full.WriteFile("scores.damaged-" + std::to_string(n), {});
  ScoreFile stuck(stuckPath);
  std::ostringstream stuckErr;
  stuck.Load(stuckErr);
  EXPECT_EQ(stuck.Record(GameKind::kOnePaddle, Entry(5, "ANN"), stuckErr), 1);
  const std::string stuckWarning = stuckErr.str();
  EXPECT_EQ(stuckWarning, "fenwhit: " + stuckPath +
                              ": line 1: not a scores file; it is moved aside when the next "
                              "score is kept\nfenwhit: " +
                              stuckPath +
                              ": line 1: not a scores file; cannot move it aside (File "
                              "exists), so scores last for this session only\n");
  EXPECT_EQ(stuck.Record(GameKind::kOnePaddle, Entry(7, "BOB"), stuckErr), 1);
  EXPECT_EQ(stuckErr.str(), stuckWarning);
  EXPECT_EQ(ReadFileBytes(stuckPath), Bytes("garbage"));

  // No path at all: the session's table, silently.
  ScoreFile sessionOnly("");
  sessionOnly.Load(err);
  EXPECT_EQ(sessionOnly.Record(GameKind::kTwoPaddles, Entry(1, "ANN"), err), 1);
  EXPECT_EQ(err.str(), warning);
}

}  // namespace
}  // namespace fenwhit
