#include "support/recorded_game.h"

#include <gtest/gtest.h>

#include <vector>

#include "audio/music.h"
#include "autoplay/autopilot_platform.h"
#include "replay/replay_recorder.h"
#include "support/beat_feeder.h"
#include "support/program_harness.h"
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
  int frames = 0;
  harness.Run(
      [&](TestPlatform& p, int pump) {
        if (pump == 0) p.Press(scan::kSpace);
        if (pump == 1) p.Release(scan::kSpace);
        if (!BeatThreadRunning()) {
          if (frames > 0) p.Press(scan::kEsc);
          return;
        }
        if (++frames % 20 == 0) feeder.Deliver();
        if (frames == 400) p.Press(scan::kEsc);
      },
      recorder, harness.renderer);
  EXPECT_EQ(games.size(), 1u);
  return games.empty() ? Replay{} : games[0];
}

}  // namespace fenwhit::testing
