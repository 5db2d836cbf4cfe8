// Every way out of the program, driven through the real menu and game loops.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <tuple>

#include "app/display.h"
#include "audio/music.h"
#include "audio/sound_ids.h"
#include "game/game_state.h"
#include "gfx/pictures.h"
#include "support/program_harness.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::ProgramHarness;

TEST(Program, EscHeldInTheFirstMenuFrameEndsWithStatusZero) {
  ProgramHarness harness;
  const int status = harness.Run([](TestPlatform& p, int pump) {
    if (pump == 0) p.Press(scan::kEsc);
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(harness.platform.Pumps(), 1);
  EXPECT_EQ(harness.platform.WindowsOpened(), 1);
  // The intro ran before the menu: 202 frames of at least 20 ms each.
  EXPECT_GE(harness.platform.SleptMs(), 202 * 20);
  // The sound device starts first; the title music is started nearly silent.
  std::vector<std::string> startUp;
  for (const SoundCall& call : harness.sound.Calls()) {
    if (startUp.size() == 5) break;
    startUp.push_back(call.op + " " + std::to_string(call.channel) + " " +
                      std::to_string(call.value) + " " +
                      call.path.substr(call.path.find_last_of('/') + 1));
  }
  EXPECT_EQ(startUp, (std::vector<std::string>{"start 128 44100 ", "open -1 0 rallointro.ogg",
                                               "load -1 43 select.ogg", "stream_play 67 0 ",
                                               "volume 67 1 "}));
  // Full game-music volume, less the menu's first fade step.
  EXPECT_EQ(musicVolume.load(), 254);
}

TEST(Program, TheExitItemEndsWithStatusZero) {
  ProgramHarness harness;
  menu.menuIndex = 0;
  const int status = harness.Run([](TestPlatform& p, int pump) {
    // The menu opens with its latches set: a key moves only after a frame without it.
    // Down on odd frames, released on even ones: eight steps reach the ninth item.
    if (pump < 17) {
      if (pump % 2 == 1)
        p.Press(scan::kDown);
      else
        p.Release(scan::kDown);
    } else if (pump == 17) {
      p.Press(scan::kSpace);
    }
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(menu.menuIndex, 8);
  EXPECT_EQ(harness.platform.Pumps(), 18);
  EXPECT_EQ(harness.sound.CallsOf("play").size(), 8u);  // one selection sound a step
}

TEST(Program, ACloseRequestMadeDuringStartUpIsTakenByTheMenu) {
  ProgramHarness harness;
  harness.platform.RequestClose();  // queued before the intro; stays queued through it
  EXPECT_EQ(harness.Run(nullptr), 0);
  EXPECT_EQ(harness.platform.Pumps(), 1);
}

TEST(Program, ACloseRequestDuringAGameEndsWithStatusZero) {
  ProgramHarness harness;
  menu.menuIndex = 0;
  int gameFrames = 0;
  const int status = harness.Run([&](TestPlatform& p, int pump) {
    if (pump == 0) p.Press(scan::kSpace);
    if (pump == 1) p.Release(scan::kSpace);
    if (pump > 0) ++gameFrames;
    if (pump == 30) p.RequestClose();
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(gameFrames, 30);
  EXPECT_EQ(game.gameOver, 0);  // still playing when the window closed
}

TEST(Program, EscDuringAGameReturnsToTheMenuAfterAHundredFrames) {
  ProgramHarness harness;
  menu.menuIndex = 0;
  int escPump = -1;
  int menuPump = -1;
  const int status = harness.Run([&](TestPlatform& p, int pump) {
    if (pump == 0) p.Press(scan::kSpace);
    if (pump == 1) p.Release(scan::kSpace);
    if (pump == 20) {
      p.Press(scan::kEsc);
      escPump = pump;
    }
    if (pump == 21) p.Release(scan::kEsc);
    if (pump > 21 && menuPump < 0 && menu.menuFrames == 0) {
      menuPump = pump;
      p.RequestClose();
    }
  });
  EXPECT_EQ(status, 0);
  ASSERT_GT(menuPump, 0);
  // Esc sets the ending 300 frames in; it runs until its counter passes 400.
  EXPECT_NEAR(menuPump - escPump, 101, 2);
  EXPECT_GT(game.lastScore, 0);
}

TEST(Program, AssetsThatCannotBeWrittenWholeStopItWithStatusOneAndOneLine) {
  ProgramHarness harness;
  // A disk that fills up half way: a file size limit (which binds root too) below the
  // largest asset.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  ::testing::internal::CaptureStderr();
  const int status = harness.Run(nullptr);
  const std::string message = ::testing::internal::GetCapturedStderr();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(harness.platform.WindowsOpened(), 0);
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  const std::string folder = harness.temp.str() + "/fenwhit-" + std::to_string(getuid()) + "/data";
  EXPECT_NE(message.find("cannot write the assets into " + folder), std::string::npos) << message;
  EXPECT_NE(message.find(std::strerror(EFBIG)), std::string::npos) << message;
}

TEST(Program, ScreenModeItemsSwitchOnceAndKeepTheMode) {
  ProgramHarness harness;
  menu.menuIndex = 0;
  Pictures loaded;
  const int status = harness.Run([&](TestPlatform& p, int pump) {
    if (pump == 0) loaded = pictures;
    // Down to the 1280 x 800 item, hold Space on it for three frames, then close.
    if (pump == 1 || pump == 3 || pump == 5) p.Press(scan::kDown);
    if (pump == 2 || pump == 4) p.Release(scan::kDown);
    if (pump == 6) {
      p.Release(scan::kDown);
      p.Press(scan::kSpace);
    }
    if (pump == 9) p.RequestClose();
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(harness.platform.WindowsOpened(), 2);  // start-up, then one switch
  EXPECT_EQ(harness.platform.LastWidth(), 1280);
  EXPECT_EQ(harness.platform.LastHeight(), 800);
  EXPECT_EQ(screenMode.index, 1);
  // The window keeps its context through a switch, and the textures with it: none is made
  // again (and the old ones left behind).
  EXPECT_EQ(pictures.menu.name, loaded.menu.name);
  EXPECT_EQ(pictures.font.texture.name, loaded.font.texture.name);
  EXPECT_EQ(pictures.eventText.name, loaded.eventText.name);
  SwitchScreenMode(0);  // leave the start mode for the next test

  // A remembered mode opens the window at once in that mode; a number no mode has, in the
  // first.
  for (const auto& [remembered, width, height] :
       {std::tuple{4, 1920, 1200}, std::tuple{17, 1280, 720}}) {
    ProgramHarness again;
    again.options.screenMode = remembered;
    EXPECT_EQ(again.Run([](TestPlatform& p, int) { p.RequestClose(); }), 0);
    EXPECT_EQ(again.platform.WindowsOpened(), 1);
    EXPECT_EQ(again.platform.LastWidth(), width);
    EXPECT_EQ(again.platform.LastHeight(), height);
  }
  SelectStartMode();
}

}  // namespace
}  // namespace fenwhit
