#include "support/recorded_game.h"

#include <gtest/gtest.h>

#include <vector>

#include "autoplay/autopilot_platform.h"
#include "replay/replay_recorder.h"
#include "support/beat_feeder.h"
#include "support/program_harness.h"
#include "support/short_game.h"
#include "ui/main_menu.h"

namespace fenwhit::testing {

Replay RecordShortGame() {
  ProgramHarness harness;
  menu.menuIndex = 0;
  AutopilotPlatform autopilot(harness.platform);
  std::vector<Replay> games;
  ReplayRecorder recorder(autopilot, "TESTER",
                          [&games](Replay&& game) { games.push_back(std::move(game)); });
  BeatFeeder feeder(harness.sound);
  harness.Run(ShortGameScript(feeder, 400), recorder, harness.renderer);
  EXPECT_EQ(games.size(), 1u);
  return games.empty() ? Replay{} : games[0];
}

}  // namespace fenwhit::testing
