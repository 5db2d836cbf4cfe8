// The autopilot through the real menu and game loops: it starts one-paddle games from
// the menu by itself, one after another.
#include <gtest/gtest.h>

#include <vector>

#include "audio/music.h"
#include "autoplay/autopilot_platform.h"
#include "game/game_state.h"
#include "support/program_harness.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::ProgramHarness;

TEST(Autoplay, StartsOnePaddleGameAfterOnePaddleGameFromTheMenu) {
  ProgramHarness harness;
  AutopilotPlatform pilot(harness.platform);
  menu.menuIndex = 5;  // left on a screen-mode item by an earlier visit
  std::vector<int> startPumps;
  std::vector<int> leavePumps;
  std::vector<int32_t> twoPaddles;
  int gameFrames = 0;
  harness.platform.SetScript([&](TestPlatform& p, int pump) {
    const bool inGame = BeatThreadRunning();
    if (inGame && startPumps.size() == leavePumps.size()) {
      startPumps.push_back(pump);
      twoPaddles.push_back(game.twoPaddles);
      gameFrames = 0;
    }
    if (!inGame && leavePumps.size() < startPumps.size()) leavePumps.push_back(pump);
    // A real Esc still ends the first game; the game goes back to the menu by itself.
    if (inGame && ++gameFrames == 20 && startPumps.size() == 1) p.Press(scan::kEsc);
    if (gameFrames == 21) p.Release(scan::kEsc);
    if (startPumps.size() == 2 || pump == 2000) p.RequestClose();
  });
  EXPECT_EQ(RunProgram(pilot, harness.renderer, harness.sound, harness.options), 0);

  ASSERT_EQ(startPumps.size(), 2u);
  ASSERT_EQ(leavePumps.size(), 1u);
  EXPECT_EQ(twoPaddles, (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(menu.menuIndex, 0);
  // Shown for a while, then five Up taps and Space.
  EXPECT_GE(startPumps[0], kAutopilotMenuWait);
  EXPECT_LT(startPumps[0], kAutopilotMenuWait + 15);
  EXPECT_LT(startPumps[1] - leavePumps[0], kAutopilotMenuWait + 5);
}

}  // namespace
}  // namespace fenwhit
