// Replays kept as the program keeps them: the recorder outermost over the best scores, the
// table and the replay folder on disk. A game played across midnight is in the table by the
// day its replay is named by, so it is kept and `--replay best` plays it; a best game from
// another version is passed over for one this version can play.
#include <gtest/gtest.h>

#include <sstream>

#include "autoplay/autopilot_platform.h"
#include "keep/background_writer.h"
#include "keep/calendar.h"
#include "replay/replay_check.h"
#include "replay/replay_recorder.h"
#include "scoreboard/scoreboard_platform.h"
#include "support/program_harness.h"
#include "support/short_game.h"
#include "support/time_zone.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

constexpr int64_t kMidnight = 1'765'152'000;  // 2025-12-08 00:00:00 UTC

TEST(ReplayKeeping, AGameAcrossMidnightStaysBestAndTheBestPlayableIsOffered) {
  const testing::ScopedTimeZone utc("UTC0");
  testing::ProgramHarness harness;
  menu.menuIndex = 0;
  ScoreFile scores(harness.work.str() + "/scores");
  ReplayStore store(harness.work.str() + "/replays");
  std::ostringstream err;
  int64_t now = kMidnight - 5;
  AutopilotPlatform autopilot(harness.platform);
  BackgroundWriter writer;
  ScoreboardPlatform scoreboard(autopilot, scores, writer, "TESTER", true, err,
                                [&now] { return now; });
  std::string saved;
  std::string error;
  // Kept as the game keeps it: on the writer thread, after the score is entered.
  ReplayRecorder recorder(
      scoreboard, "TESTER",
      [&](Replay&& game) {
        writer.Queue([&, game = std::move(game)] {
          saved = store.Save(game, ReplayTableFrom(scores.Tables()), error);
        });
      },
      [&scoreboard] { return scoreboard.GameStartTime(); });
  testing::BeatFeeder feeder(harness.sound);
  // Ten seconds into the game the calendar turns to the next day.
  const auto midnight = [&now](int frame) {
    if (frame == 600) now = kMidnight + 5;
  };
  harness.Run(testing::ShortGameScript(feeder, 900, midnight), recorder, harness.renderer);
  writer.Drain();
  ASSERT_NE(saved, "") << error;
  ASSERT_EQ(scores.Tables().kinds[0].size(), 1u) << err.str();
  EXPECT_EQ(scores.Tables().kinds[0][0].date, "2025-12-07");
  EXPECT_EQ(saved.substr(saved.rfind('/') + 1, 10), "2025-12-07");

  // Twenty games later it is still there, and the best.
  std::string why;
  const std::optional<Replay> game = ReadPlayableReplay(saved, why);
  ASSERT_TRUE(game) << why;
  const std::vector<ReplayTableEntry> table = ReplayTableFrom(scores.Tables());
  Replay later = *game;
  later.finalScore = 1;
  for (int i = 0; i < ReplayStore::kKeepLast; ++i) store.Save(later, table, error);
  std::optional<Replay> best = ReadBestReplay(store, table, why);
  ASSERT_TRUE(best) << why;
  EXPECT_TRUE(*best == *game);

  // A better game from another version is passed over; alone, it is refused in one line.
  Replay foreign = *game;
  foreign.gameVersion = "0.0.1";
  foreign.finalScore = game->finalScore + 1;
  const std::string foreignPath = store.Save(foreign, table, error);
  ScoreTables tables = scores.Tables();
  InsertScore(tables, GameKind::kOnePaddle,
              ScoreEntry{foreign.finalScore, "TESTER", LocalDate(foreign.startTime), 0, 0});
  best = ReadBestReplay(store, ReplayTableFrom(tables), why);
  ASSERT_TRUE(best) << why;
  EXPECT_TRUE(*best == *game);
  std::filesystem::remove(saved);
  EXPECT_FALSE(ReadBestReplay(store, ReplayTableFrom(tables), why));
  EXPECT_EQ(why,
            "none of the 1 kept replays of best games can be played by this version (recorded "
            "by version 0.0.1, this is " +
                game->gameVersion + ")");
  EXPECT_FALSE(ReadBestReplay(store, {}, why));
  EXPECT_EQ(why, "no replay of a best game is kept yet");
  EXPECT_TRUE(std::filesystem::exists(foreignPath));
}

}  // namespace
}  // namespace fenwhit
