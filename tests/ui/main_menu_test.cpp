// The main menu loop on its own: selection keys and their latches, what activates an
// item, the score line and the fade-in.
#include "ui/main_menu.h"

#include <string>

#include "game/game_fixture.h"
#include "platform/exit.h"
#include "support/program_harness.h"

namespace fenwhit {
namespace {

class MainMenuTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    menu = MenuState{};
    EnterMainMenu();
  }
  void TearDown() override {
    menu = MenuState{};
    GameTest::TearDown();
  }
  // Runs the menu with `script` (given the frame number from 0) until a game starts
  // (true) or, at the latest, Esc ends the program in frame `lastFrame` (false). Keys
  // are released after it, and a game started is left again.
  bool Run(int lastFrame, TestPlatform::Script script) {
    const int first = platform.Pumps();
    platform.SetScript([=](TestPlatform& p, int pump) {
      script(p, pump - first);
      if (pump - first == lastFrame) p.Press(scan::kEsc);
    });
    bool started = true;
    try {
      RunMainMenu();
    } catch (const ProgramExit&) {
      started = false;
    }
    platform.ReleaseAll();
    if (started) RequestBeatStop();
    return started;
  }
  int Selections() const { return Plays(sound::kSelect); }
  // The characters of the glyph regions drawn so far, in order.
  std::string DrawnText() const {
    std::string text;
    for (const DrawCall& call : renderer.CallsOf("region")) {
      text += static_cast<char>(call.ints[3] / 64 * 16 + call.ints[2] / 32);
    }
    return text;
  }
};

TEST_F(MainMenuTest, AKeyHeldOrSeveralTogetherMoveOneItemAndTheEndsAreSilent) {
  // Each down key held for many frames, with a frame without it before: one item each.
  int pressed = 0;
  for (int key : {scan::kDown, scan::kM, scan::kS}) {
    EXPECT_FALSE(Run(30, [key](TestPlatform& p, int frame) {
      if (frame > 0) p.Press(key);
    }));
    EXPECT_EQ(menu.menuIndex, ++pressed) << key;
  }
  EXPECT_EQ(Selections(), 3);
  // Down and S in the same frame: still one.
  EXPECT_FALSE(Run(10, [](TestPlatform& p, int frame) {
    if (frame == 5) {
      p.Press(scan::kDown);
      p.Press(scan::kS);
    }
  }));
  EXPECT_EQ(menu.menuIndex, 4);
  EXPECT_EQ(Selections(), 4);
  // Nothing beyond either end, and no sound for trying.
  menu.menuIndex = kMenuItemCount - 1;
  EXPECT_FALSE(Run(10, [](TestPlatform& p, int frame) {
    if (frame == 5) p.Press(scan::kDown);
  }));
  EXPECT_EQ(menu.menuIndex, kMenuItemCount - 1);
  menu.menuIndex = 0;
  EXPECT_FALSE(Run(10, [](TestPlatform& p, int frame) {
    if (frame == 5) p.Press(scan::kUp);
  }));
  EXPECT_EQ(menu.menuIndex, 0);
  EXPECT_EQ(Selections(), 4);
}

TEST_F(MainMenuTest, SpaceStartsAtOnceAClickOnlyAfterTenFramesAndBothButtonsNever) {
  EXPECT_FALSE(Run(30, [](TestPlatform& p, int) { p.SetMouse({0, 0, 0, 3}); }));
  EXPECT_TRUE(audio.CallsOf("open").empty());

  // A left click held from the first frame starts the game in the eleventh.
  EnterMainMenu();
  int clickPumps = 0;
  EXPECT_TRUE(Run(100, [&clickPumps](TestPlatform& p, int) {
    p.SetMouse({0, 0, 0, 1});
    ++clickPumps;
  }));
  EXPECT_EQ(menu.menuFrames, 11);
  EXPECT_EQ(clickPumps, 11);
  EXPECT_EQ(game.twoPaddles, 0);

  // Space still held from the game just left starts the next one after one menu frame.
  platform.SetMouse({});
  platform.Press(scan::kSpace);  // released by Run only after it
  menu.menuIndex = 1;
  EnterMainMenu();
  EXPECT_TRUE(Run(100, [](TestPlatform&, int) {}));
  EXPECT_EQ(menu.menuFrames, 1);
  EXPECT_EQ(game.twoPaddles, 1);
}

TEST_F(MainMenuTest, TheTopLineShowsTheLastScoreAndThePictureFadesInTo252) {
  EXPECT_FALSE(Run(0, [](TestPlatform&, int) {}));
  EXPECT_EQ(DrawnText(), "TOTAL SCORE: 0");

  // After a game: its score, not the one reset for the next.
  game.lastScore = 4321;
  game.score = 0;
  game.fadeLevel = 0;
  renderer.ClearCalls();
  EnterMainMenu();
  EXPECT_FALSE(Run(99, [](TestPlatform&, int) {}));
  EXPECT_EQ(DrawnText().substr(0, 17), "TOTAL SCORE: 4321");
  // The menu picture's level is the second colour of each frame: 0, 3, 6 ... 252.
  std::vector<int> levels;
  int colours = 0;
  for (const DrawCall& call : renderer.Calls()) {
    if (call.op == "present") colours = 0;
    if (call.op == "color" && ++colours == 2) levels.push_back(call.ints[0]);
  }
  ASSERT_EQ(levels.size(), 100u);
  EXPECT_EQ(levels[0], 0);
  EXPECT_EQ(levels[83], 249);
  EXPECT_EQ(levels[84], 252);
  EXPECT_EQ(levels[99], 252);
}

// Each visit sets the menu up after the game's reset, whose calm wave it replaces.
TEST(MainMenuVisit, EveryVisitResetsTheGameThenSetsUpTheMenu) {
  struct Seen {
    float wave, waveTarget;
    int32_t lives, score, gameOver, cursorX, upLatch, downLatch, menuIndex;
  };
  std::vector<Seen> visits;
  testing::ProgramHarness harness;
  menu.menuIndex = 0;
  bool inGame = false;
  const int status = harness.Run([&](TestPlatform& p, int) {
    if (inGame && !BeatThreadRunning()) inGame = false;
    if (!inGame && menu.menuFrames == 0) {
      const GameState& g = game;
      visits.push_back({g.waveAmplitude, g.waveAmplitudeTarget, g.lives, g.score, g.gameOver,
                        menu.cursorX, menu.upLatch, menu.downLatch, menu.menuIndex});
    }
    p.ReleaseAll();
    if (inGame) {
      menu.cursorX = 0;  // nothing else moves it
      if (game.gameOver == 0) p.Press(scan::kEsc);
    } else if (menu.menuFrames == 3) {
      if (visits.size() == 2) {
        p.Press(scan::kEsc);
      } else {
        p.Press(scan::kSpace);
        inGame = true;
      }
    }
  });
  EXPECT_EQ(status, 0);
  ASSERT_EQ(visits.size(), 2u);
  for (const Seen& seen : visits) {
    EXPECT_FLOAT_EQ(seen.wave, 320.0f);
    EXPECT_FLOAT_EQ(seen.waveTarget, 20.0f);
    EXPECT_EQ(seen.lives, 2);
    EXPECT_EQ(seen.score, 0);
    EXPECT_EQ(seen.gameOver, 0);
    EXPECT_EQ(seen.cursorX, 460);
    EXPECT_EQ(seen.upLatch, 1);
    EXPECT_EQ(seen.downLatch, 1);
    EXPECT_EQ(seen.menuIndex, 0);  // kept from visit to visit
  }
}

}  // namespace
}  // namespace fenwhit
