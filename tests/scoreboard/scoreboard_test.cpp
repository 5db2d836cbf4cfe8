// The best games through the real program: a game left with Esc enters the table with its
// rank, a game closed with the window still enters, the tables come over a menu left alone
// and the touch that takes them away does nothing else, and a game played by the autopilot
// never enters.
#include <gtest/gtest.h>

#include <sstream>

#include "audio/music.h"
#include "game/game_state.h"
#include "gfx/overlay_renderer.h"
#include "keep/background_writer.h"
#include "scoreboard/score_drawing.h"
#include "scoreboard/scoreboard_platform.h"
#include "support/program_harness.h"
#include "support/text_drawn.h"
#include "support/writer_gate.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::ProgramHarness;
using testing::ScratchDir;
using testing::TextDrawn;
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

// The mouse as a player moves it: moving it now and then keeps the tables away; a click
// held as a player holds it takes them away and does nothing else; and closing the window
// from the menu enters no game a second time. The menu shows the best score kept, and the
// tables each game's time in minutes and seconds.
TEST(Scoreboard, TheMouseMovingKeepsTheTablesAwayAndItsClickOnlyTakesThemAway) {
  ProgramHarness harness(true);
  ScratchDir home;
  const std::string path = home.str() + "/scores";
  const std::string kept =
      "fenwhit scores 1\n"
      "one\t90000\tBOB\t2026-11-30\t4\t65\n"
      "one\t150000\tALICE\t2026-12-01\t7\t125\n";
  home.WriteFile("scores", {kept.begin(), kept.end()});
  ScoreFile scores(path);
  std::ostringstream err;
  scores.Load(err);
  BackgroundWriter writer;
  ScoreboardPlatform scoreboard(harness.platform, scores, writer, "TESTER", true, err);
  OverlayRenderer frames(harness.renderer);
  frames.AddOverlay([&] { DrawMenuScores(scoreboard, harness.platform.Now()); });
  menu.menuIndex = 0;

  enum class Step { kGame, kMoving, kStill, kClicked } step = Step::kGame;
  int stepPumps = 0;
  int gameFrames = 0;
  bool shownWhileMoving = false;
  double stillFrom = -1.0;
  double stillFor = -1.0;
  bool gameAfterClick = false;
  bool tablesAfterClick = true;
  int menuIndexAtClick = -1;
  int tablesFrames = 0;
  std::string menuText;
  std::string tablesText;
  const int status = harness.Run(
      [&](TestPlatform& p, int pump) {
        // The calls of the frame before this pump's.
        const std::string drawn = TextDrawn(harness.renderer);
        harness.renderer.ClearCalls();
        const int in = stepPumps++;
        const auto next = [&](Step to) { step = to, stepPumps = 0; };
        switch (step) {
          case Step::kGame:
            if (pump == 0) p.Press(scan::kSpace);
            if (pump == 1) p.Release(scan::kSpace);
            if (BeatThreadRunning()) {
              if (game.lives < 2) game.lives = 2;
              if (++gameFrames == kPlayFrames) p.Press(scan::kEsc);
            } else if (gameFrames > 0) {
              p.Release(scan::kEsc);
              next(Step::kMoving);
            }
            return;
          case Step::kMoving:
            // Twenty seconds of a hand on the mouse: a small move every half second.
            shownWhileMoving = shownWhileMoving || scoreboard.TablesShownAt() >= 0.0;
            if (in == 100) menuText = drawn;
            if (in % 30 == 0) p.SetMouse({600 + in / 30 % 2, 400 + in / 60 % 2, 0, 0});
            if (in == 1200) {
              stillFrom = p.Now();
              next(Step::kStill);
            }
            return;
          case Step::kStill:
            if (scoreboard.TablesShownAt() < 0.0) return;
            if (tablesFrames++ == 0) stillFor = p.Now() - stillFrom;
            // Faded in, then clicked away.
            if (tablesFrames < 70) return;
            tablesText = drawn;
            menuIndexAtClick = menu.menuIndex;
            p.SetMouse({600, 400, 0, 1});
            next(Step::kClicked);
            return;
          case Step::kClicked:
            if (in == 6) p.SetMouse({600, 400, 0, 0});
            gameAfterClick = gameAfterClick || BeatThreadRunning();
            if (in == 60) {
              tablesAfterClick = scoreboard.TablesShownAt() >= 0.0;
              p.RequestClose();
            }
            return;
        }
      },
      scoreboard, frames);

  EXPECT_EQ(status, 0);
  EXPECT_FALSE(shownWhileMoving) << "the tables came while the mouse moved";
  // A menu left alone shows them after its fifteen seconds.
  EXPECT_GE(stillFor, ScoreboardPlatform::kIdleSeconds - 0.5);
  EXPECT_LT(stillFor, ScoreboardPlatform::kIdleSeconds + 1.0);
  EXPECT_FALSE(tablesAfterClick);
  EXPECT_FALSE(gameAfterClick) << "the click that took the tables away started a game";
  EXPECT_EQ(menu.menuIndex, menuIndexAtClick);
  writer.Drain();
  ScoreFile reread(path);
  reread.Load(err);
  EXPECT_EQ(reread.Tables().kinds[0].size(), 3u) << "one game, entered once";
  EXPECT_NE(menuText.find("BEST 150000"), std::string::npos) << menuText;
  for (const char* row : {"150000  ALICE", "2:05", "90000  BOB", "1:05"}) {
    EXPECT_NE(tablesText.find(row), std::string::npos) << row << "\n" << tablesText;
  }
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace fenwhit
