// The best games through the real program: a game left with Esc enters the table with its
// rank, a game closed with the window still enters, the tables come over a menu left alone
// and the touch that takes them away does nothing else, and a game played by the autopilot
// never enters.
#include <gtest/gtest.h>

#include <sstream>

#include "audio/music.h"
#include "game/game_state.h"
#include "keep/background_writer.h"
#include "scoreboard/scoreboard_platform.h"
#include "support/program_harness.h"
#include "support/writer_gate.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::ProgramHarness;
using testing::ScratchDir;
using testing::WriterGate;

constexpr int kPlayFrames = 120;

TEST(Scoreboard, GamesEnterTablesShowWhenIdleAndTheirTouchDoesNothingElse) {
  ProgramHarness harness;
  ScratchDir home;
  const std::string path = home.str() + "/fenwhit/scores";
  ScoreFile scores(path);
  std::ostringstream err;
  BackgroundWriter writer;
  ScoreboardPlatform scoreboard(harness.platform, scores, writer, "TESTER", true, err);
  menu.menuIndex = 0;
  // The disk does not answer until the second game: the first still gets its rank.
  WriterGate stuckDisk(writer);
  bool writtenWhileStuck = false;

  enum class Step {
    kFirstGame,
    kIdle,
    kDismissed,
    kIdleAgain,
    kSecondGame
  } step = Step::kFirstGame;
  int gameFrames = 0;
  int secondGameFrames = 0;
  int32_t firstScore = -1;
  int32_t secondScore = -1;
  int rankAfterFirst = -1;
  int tablesShown = 0;
  int menuIndexWhenShown = -1;
  bool menuSawKeysWhileShown = false;
  int pumpsSinceDismissal = 0;

  const int status = harness.Run(
      [&](TestPlatform& p, int pump) {
        p.ReleaseAll();
        if (pump == 0) p.Press(scan::kSpace);
        switch (step) {
          case Step::kFirstGame:
            if (BeatThreadRunning()) {
              if (game.lives < 2) game.lives = 2;
              if (++gameFrames == kPlayFrames) p.Press(scan::kEsc);
              if (game.gameOver != 0) firstScore = game.lastScore;
            } else if (gameFrames > 0) {
              step = Step::kIdle;
            }
            return;
          case Step::kIdle:
          case Step::kIdleAgain:
            // The scoreboard enters a game once its own pump has seen it end.
            if (rankAfterFirst < 0) rankAfterFirst = scoreboard.LastRank();
            writtenWhileStuck = writtenWhileStuck || std::filesystem::exists(path);
            if (scoreboard.TablesShownAt() < 0) return;
            ++tablesShown;
            menuIndexWhenShown = menu.menuIndex;
            // Esc and Down would leave and move the menu: while the tables show they only
            // take the tables away. The second time a key the game never reads does it.
            if (step == Step::kIdle) {
              p.Press(scan::kEsc);
              p.Press(scan::kDown);
            } else {
              p.PressOtherKey();
            }
            step = step == Step::kIdle ? Step::kDismissed : Step::kSecondGame;
            return;
          case Step::kDismissed:
            menuSawKeysWhileShown = menuSawKeysWhileShown || menu.menuIndex != menuIndexWhenShown;
            if (++pumpsSinceDismissal == 5) step = Step::kIdleAgain;
            return;
          case Step::kSecondGame:
            stuckDisk.Open();
            // Down to two paddles, start, and close the window in the middle of the game.
            if (!BeatThreadRunning()) {
              if (menu.menuIndex == 0 && pump % 4 == 0) p.Press(scan::kDown);
              if (menu.menuIndex == 1 && pump % 4 == 2) p.Press(scan::kSpace);
              return;
            }
            secondScore = game.score;
            if (++secondGameFrames == 30) p.RequestClose();
            return;
        }
      },
      scoreboard, harness.renderer);

  EXPECT_EQ(status, 0);
  EXPECT_GT(firstScore, 0);
  EXPECT_EQ(rankAfterFirst, 1);
  EXPECT_FALSE(writtenWhileStuck);
  EXPECT_EQ(tablesShown, 2);
  EXPECT_FALSE(menuSawKeysWhileShown);
  EXPECT_GT(secondScore, 0);
  writer.Drain();
  EXPECT_EQ(err.str(), "");

  // Both games are in the file, each in its kind's table.
  ScoreFile reread(path);
  reread.Load(err);
  const ScoreTables& tables = reread.Tables();
  ASSERT_EQ(tables.kinds[0].size(), 1u);
  ASSERT_EQ(tables.kinds[1].size(), 1u);
  EXPECT_EQ(tables.kinds[0][0].score, firstScore);
  EXPECT_EQ(tables.kinds[0][0].name, "TESTER");
  EXPECT_GE(tables.kinds[0][0].seconds, 1);
  EXPECT_EQ(tables.kinds[1][0].score, secondScore);
}

TEST(Scoreboard, GamesTheAutopilotPlaysNeverEnter) {
  ProgramHarness harness;
  ScratchDir home;
  ScoreFile scores(home.str() + "/scores");
  std::ostringstream err;
  BackgroundWriter writer;
  ScoreboardPlatform scoreboard(harness.platform, scores, writer, "TESTER", false, err);
  menu.menuIndex = 0;
  int gameFrames = 0;
  const int status = harness.Run(
      [&](TestPlatform& p, int pump) {
        p.ReleaseAll();
        if (pump == 0) p.Press(scan::kSpace);
        if (BeatThreadRunning() && ++gameFrames == kPlayFrames) p.Press(scan::kEsc);
        if (!BeatThreadRunning() && gameFrames > 0) p.Press(scan::kEsc);
      },
      scoreboard, harness.renderer);
  EXPECT_EQ(status, 0);
  EXPECT_GT(game.lastScore, 0);
  EXPECT_EQ(scoreboard.LastRank(), 0);
  writer.Drain();
  EXPECT_TRUE(scores.Tables().kinds[0].empty());
  EXPECT_FALSE(std::filesystem::exists(home.str() + "/scores"));
}

}  // namespace
}  // namespace fenwhit
