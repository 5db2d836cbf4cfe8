// The replay folder: the latest games and the best ones stay, nothing else is touched.
#include "replay/replay_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "keep/calendar.h"
#include "support/scratch_dir.h"
#include "support/time_zone.h"

namespace fenwhit {
namespace {

constexpr int64_t kDay = 24 * 60 * 60;
constexpr int64_t kFirstStart = 1'700'000'000;

Replay Game(int64_t startTime, int32_t kind, int64_t score) {
  Replay replay;
  replay.gameVersion = "0.9.0";
  replay.kind = kind;
  replay.startTime = startTime;
  replay.player = "ANN";
  replay.finalScore = score;
  replay.frames.resize(10);
  replay.frames[4].beats = 1;
  replay.checksums = {1};
  return replay;
}

ReplayTableEntry EntryOf(const Replay& replay) {
  return {replay.kind, replay.finalScore, LocalDate(replay.startTime)};
}

bool Exists(const std::string& path) {
  return std::filesystem::exists(std::filesystem::symlink_status(path));
}

TEST(ReplayStore, KeepsTheLatestAndTheTabled) {
  const testing::ScratchDir scratch;
  const std::string folder = scratch.str() + "/data/fenwhit/replays";
  ReplayStore store(folder);
  std::vector<Replay> games;
  std::vector<std::string> paths;
  std::string error;
  for (int i = 0; i < 21; ++i) {
    if (i == 1) {
      // Named before replays were numbered: older than any numbered one, whatever its date.
      scratch.WriteFile("data/fenwhit/replays/2099-01-01_00-00-00_one_5-2.fwreplay", {1});
      // Not replays, or not files: never removed.
      scratch.WriteFile("data/fenwhit/replays/notes.txt", {1});
      scratch.WriteFile("data/fenwhit/replays/2000-01-01_00-00-00_one_5.fwreplay.old", {1});
      scratch.WriteFile("data/fenwhit/replays/2000-01-01_00-00-00_six_5.fwreplay", {1});
      std::filesystem::create_directory(folder + "/2000-01-01_00-00-00_one_6.fwreplay");
      ASSERT_EQ(symlink("notes.txt", (folder + "/2000-01-01_00-00-00_one_7.fwreplay").c_str()), 0);
    }
    games.push_back(Game(kFirstStart + i * kDay, i % 2, 100 + i));
    paths.push_back(store.Save(games.back(), {}, error));
    ASSERT_NE(paths.back(), "") << error;
  }
  struct stat info {};
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_FALSE(Exists(paths[0]));
  EXPECT_FALSE(Exists(folder + "/2099-01-01_00-00-00_one_5-2.fwreplay"));
  EXPECT_EQ(store.List(), std::vector<std::string>(paths.begin() + 1, paths.end()));
  EXPECT_EQ(paths[20], folder + "/" + ReplayFileName(games[20], 21));

  // A game in the table stays however old; only its kind, score and date together count.
  Replay sameButKind = games[3];
  sameButKind.kind = 1 - sameButKind.kind;
  const std::vector<ReplayTableEntry> table = {EntryOf(games[1]), EntryOf(sameButKind)};
  for (int i = 21; i < 24; ++i) {
    games.push_back(Game(kFirstStart + i * kDay, 0, 100 + i));
    paths.push_back(store.Save(games.back(), table, error));
  }
  EXPECT_TRUE(Exists(paths[1]));
  EXPECT_FALSE(Exists(paths[2]));
  EXPECT_FALSE(Exists(paths[3]));
  std::vector<std::string> expected = {paths[1]};
  expected.insert(expected.end(), paths.begin() + 4, paths.end());
  EXPECT_EQ(store.List(), expected);

  // With the clock set back, the games just played are still the newest: those saved
  // before them go, not each other.
  std::vector<std::string> setBack;
  for (int i = 0; i < 3; ++i) {
    setBack.push_back(store.Save(Game(kFirstStart - (3 - i) * kDay, 0, 1 + i), table, error));
  }
  const std::vector<std::string> list = store.List();
  ASSERT_EQ(list.size(), 21u);
  EXPECT_EQ(list[0], paths[1]);
  EXPECT_EQ(std::vector<std::string>(list.end() - 3, list.end()), setBack);

  for (const char* foreign :
       {"notes.txt", "2000-01-01_00-00-00_one_5.fwreplay.old", "2000-01-01_00-00-00_six_5.fwreplay",
        "2000-01-01_00-00-00_one_6.fwreplay", "2000-01-01_00-00-00_one_7.fwreplay"}) {
    EXPECT_TRUE(Exists(folder + "/" + foreign)) << foreign;
  }
}

TEST(ReplayStore, GamesOfOneSecondAllStayAndReadBack) {
  const Replay game = Game(1'700'000'000, 1, 4200);
  {
    const testing::ScopedTimeZone utc("UTC0");
    EXPECT_EQ(ReplayFileName(game, 7), "2023-11-14_22-13-20_two_4200_n7.fwreplay");
  }

  const testing::ScratchDir scratch;
  ReplayStore store(scratch.str());
  std::string error;
  std::vector<std::string> paths;
  for (int i = 0; i < 10; ++i) paths.push_back(store.Save(game, {}, error));
  EXPECT_EQ(paths[0], scratch.str() + "/" + ReplayFileName(game, 1));
  EXPECT_EQ(paths[9], scratch.str() + "/" + ReplayFileName(game, 10));
  EXPECT_EQ(store.List(), paths);
  // A name taken under the store's feet is passed over.
  std::filesystem::create_directory(scratch.str() + "/" + ReplayFileName(game, 11));
  EXPECT_EQ(store.Save(game, {}, error), scratch.str() + "/" + ReplayFileName(game, 12));

  std::string why;
  const std::optional<Replay> read = ReadReplayFile(paths[1], why);
  ASSERT_TRUE(read) << why;
  EXPECT_TRUE(*read == game);
  EXPECT_FALSE(ReadReplayFile(scratch.str() + "/none.fwreplay", why));
  EXPECT_EQ(why, "cannot be read: No such file or directory");
  scratch.WriteFile("text.fwreplay", {'h', 'i', '\n'});
  EXPECT_FALSE(ReadReplayFile(scratch.str() + "/text.fwreplay", why));
  EXPECT_EQ(why, "not a replay file");
  scratch.WriteFile("huge.fwreplay", {});
  ASSERT_EQ(truncate((scratch.str() + "/huge.fwreplay").c_str(), kReplayMaxFileBytes + 1), 0);
  EXPECT_FALSE(ReadReplayFile(scratch.str() + "/huge.fwreplay", why));
  EXPECT_EQ(why, "too large");
}

TEST(ReplayStore, KeepsNothingWhereItCannot) {
  const testing::ScratchDir scratch;
  scratch.WriteFile("blocker", {1});
  std::string error;
  ReplayStore blocked(scratch.str() + "/blocker/replays");
  EXPECT_EQ(blocked.Save(Game(kFirstStart, 0, 5), {}, error), "");
  EXPECT_NE(error.find(scratch.str() + "/blocker"), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;

  error.clear();
  ReplayStore store(scratch.str() + "/replays");
  Replay unnamed = Game(kFirstStart, 0, 5);
  unnamed.player = "ann";
  EXPECT_EQ(store.Save(unnamed, {}, error), "");
  EXPECT_NE(error.find("bad player name"), std::string::npos) << error;
  EXPECT_EQ(scratch.Files(), std::vector<std::string>{"blocker"});

  error.clear();
  ReplayStore nowhere("");
  EXPECT_EQ(nowhere.Save(Game(kFirstStart, 0, 5), {}, error), "");
  EXPECT_EQ(error, "");
  EXPECT_TRUE(nowhere.List().empty());
}

TEST(ReplayStore, BestFirstRanksTheTabledScoresWithAFile) {
  const testing::ScratchDir scratch;
  ReplayStore store(scratch.str());
  const Replay one500 = Game(kFirstStart, 0, 500);
  const Replay two900 = Game(kFirstStart + kDay, 1, 900);
  const Replay one2000 = Game(kFirstStart + 2 * kDay, 0, 2000);
  const Replay one3000 = Game(kFirstStart + 3 * kDay, 0, 3000);
  std::string error;
  std::vector<std::string> paths;
  for (const Replay& game : {one500, two900, one2000, one3000}) {
    paths.push_back(store.Save(game, {}, error));
  }

  ScoreTables tables;
  const auto enter = [&tables](GameKind kind, int64_t score, const std::string& date) {
    InsertScore(tables, kind, ScoreEntry{score, "ANN", date, 0, 0});
  };
  enter(GameKind::kOnePaddle, 500, EntryOf(one500).date);
  enter(GameKind::kTwoPaddles, 900, EntryOf(two900).date);
  enter(GameKind::kTwoPaddles, 2000, EntryOf(one2000).date);  // a file of the other kind
  enter(GameKind::kOnePaddle, 3000, "1999-01-01");            // a file of another day
  enter(GameKind::kOnePaddle, 5000, EntryOf(one500).date);    // no file
  EXPECT_EQ(store.BestFirst(ReplayTableFrom(tables)),
            (std::vector<std::string>{paths[1], paths[0]}));
  std::filesystem::remove(paths[1]);
  EXPECT_EQ(store.BestFirst(ReplayTableFrom(tables)), std::vector<std::string>{paths[0]});
  EXPECT_TRUE(store.BestFirst({}).empty());
}

}  // namespace
}  // namespace fenwhit
