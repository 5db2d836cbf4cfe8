// The options screen through the real program, as a player uses it with keys held for some
// frames, with the mouse, and with a gamepad: every change is heard or seen at once and kept
// in the settings file, the rows that open other screens open them after it closes, and the
// keys and buttons that closed it never reach the menu (which would start a game, switch the
// window or leave).
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/display.h"
#include "audio/music.h"
#include "common/calm_flashes.h"
#include "gamepad/gamepad_platform.h"
#include "gfx/overlay_renderer.h"
#include "keep/background_writer.h"
#include "music_choice/music_choice_platform.h"
#include "options/options_drawing.h"
#include "options/options_layout.h"
#include "options/options_platform.h"
#include "settings/settings_platform.h"
#include "songs/chosen_songs.h"
#include "support/player_steps.h"
#include "support/program_harness.h"
#include "support/text_drawn.h"
#include "support/virtual_gamepad.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

namespace layout = options_layout;
using testing::Do;
using testing::Hold;
using testing::Idle;
using testing::Player;
using testing::ProgramHarness;
using testing::ScratchDir;
using testing::SdlGamepadsOnTestPlatform;
using testing::TextDrawn;
using testing::VirtualGamepad;
using testing::WaitFor;

constexpr int kStartVolume = 7;

// The player's side of the program as main builds it, gamepads and settings to the options
// screen, the settings file in a folder of its own.
class OptionsRig {
 public:
  explicit OptionsRig(bool withGamepads) {
    Platform* machine = &harness.platform;
    if (withGamepads) machine = &sdl.emplace(harness.platform);
    gamepads.emplace(*machine);
    Settings remembered;
    remembered.volume = kStartVolume;
    settings.emplace(*gamepads, harness.sound, file, writer, remembered,
                     SettingsPlatform::Watched{[] { return static_cast<int>(screenMode.index); },
                                               [] { return false; }},
                     err);
    music.emplace(*settings, songs, [this](const std::string& chosen, bool own) {
      settings->RememberMusic(chosen, own);
    });
    options.emplace(
        *music, *settings, *music,
        OptionsPlatform::Hooks{[this](const OptionsView& view) { drawing.Show(view); },
                               [this] { ++networkOpened; }, [this] { ++calibrationOpened; }});
    frames.AddOverlay([this] { DrawOptionsKey(*options); });
    menu.menuIndex = 0;
    calmFlashes = false;
    SetAvOffsetMs(0);
  }

  int Run(Player& player) {
    const int status = harness.Run(
        [&](TestPlatform& p, int) {
          // The screen draws only when its picture changes.
          if (std::string drawn = TextDrawn(harness.renderer); !drawn.empty()) text = drawn;
          harness.renderer.ClearCalls();
          if (options->Open() && !wasOpen) ++opens;
          wasOpen = options->Open();
          gameStarted = gameStarted || BeatThreadRunning();
          player.Act(p);
        },
        *options, frames);
    writer.Drain();
    return status;
  }

  Settings Kept() {
    std::ostringstream readErr;
    Settings kept = SettingsFile(path).Load(readErr);
    EXPECT_EQ(readErr.str(), "");
    return kept;
  }

  std::vector<int> MasterLevels() const {
    std::vector<int> levels;
    for (const SoundCall& call : harness.sound.CallsOf("master")) levels.push_back(call.value);
    return levels;
  }

  bool Shows(const std::string& words) const { return text.find(words) != std::string::npos; }

  ProgramHarness harness{true};
  ScratchDir home;
  const std::string path = home.str() + "/settings";
  SettingsFile file{path};
  BackgroundWriter writer;
  std::ostringstream err;
  ScratchDir cache;
  ChosenSongs songs{cache.str(), 3};
  std::optional<SdlGamepadsOnTestPlatform> sdl;
  std::optional<GamepadPlatform> gamepads;
  std::optional<SettingsPlatform> settings;
  std::optional<MusicChoicePlatform> music;
  OverlayRenderer frames{harness.renderer};
  OptionsDrawing drawing{frames};
  std::optional<OptionsPlatform> options;
  int networkOpened = 0;
  int calibrationOpened = 0;
  int opens = 0;
  bool gameStarted = false;
  // The text of the picture drawn last.
  std::string text;

 private:
  bool wasOpen = false;
};

// Down for `frames` pumps with both keys, then both let go.
Player::Step HoldBoth(int first, int second, int frames) {
  return [=, held = 0](TestPlatform& p) mutable {
    if (held == 0) {
      p.Press(first);
      p.Press(second);
    }
    if (++held < frames) return false;
    p.Release(first);
    p.Release(second);
    return true;
  };
}

// The mouse to a point of the 1280 x 720 window, with the left button down or up.
Player::Step Mouse(int32_t x, int32_t y, bool down) {
  return Do([=](TestPlatform& p) { p.SetMouse({x, y, 0, down ? 1 : 0}); });
}

// Clicked at the point, the button held for a few frames as a hand does.
void Click(Player& player, int32_t x, int32_t y) {
  player.Then(Mouse(x, y, false)).Then(Idle(2)).Then(Mouse(x, y, true)).Then(Idle(3));
  player.Then(Mouse(x, y, false)).Then(Idle(2));
}

int32_t RowMiddle(int row) {
  return layout::RowY(row) + 20;
}

TEST(OptionsScreen, KeysChangeEachOptionAtOnceKeepItAndNeverReachTheMenu) {
  OptionsRig rig(false);
  ASSERT_TRUE(rig.songs.Choose(
      (std::filesystem::path(FENWHIT_SOURCE_DIR) / "tests" / "songs" / "straight_095.flac")
          .string()));
  // A Space or Enter reaching the menu on this item would switch the window.
  menu.menuIndex = 3;
  const OptionsPlatform& screen = *rig.options;
  bool footShown = false;
  bool flashesShown = false;
  std::vector<int> delays;
  int selectedOnReturn = -1;
  const auto noteDelay = Do([&](TestPlatform&) { delays.push_back(rig.settings->AvOffsetMs()); });
  Player player;
  player.Then(WaitFor([] { return menu.menuFrames > 3; }))
      .Then(
          Do([&](TestPlatform&) { footShown = rig.Shows("OOOOOPPPPPTTTTTIIIIIOOOOONNNNNSSSSS"); }))
      // O held opens it once; the volume: Right, both together, then Left twice, once held
      // for long (the volume steps once a press).
      .Then(Hold(scan::kO, 5))
      .Then(Hold(scan::kRight, 4))
      .Then(HoldBoth(scan::kLeft, scan::kRight, 4))
      .Then(Hold(scan::kLeft, 60))
      .Then(Hold(scan::kLeft, 3))
      // The music: Enter switches to the game's own.
      .Then(Hold(scan::kDown, 3))
      .Then(Hold(scan::kEnter, 3))
      // Flashes: Right makes them calm.
      .Then(Hold(scan::kDown, 3))
      .Then(Hold(scan::kRight, 3))
      .Then(Idle(2))
      .Then(Do([&](TestPlatform&) { flashesShown = rig.Shows("FLASHES") && rig.Shows("CALM"); }))
      // The sound delay: a short press steps once, a long one runs to the end, Left comes back.
      .Then(Hold(scan::kDown, 3))
      .Then(Hold(scan::kRight, 10))
      .Then(noteDelay)
      .Then(Hold(scan::kRight, 200))
      .Then(noteDelay)
      .Then(Hold(scan::kLeft, 3))
      .Then(noteDelay)
      // The calibration, on Space held: the screen closes and the calibration opens.
      .Then(Hold(scan::kDown, 3))
      .Then(Hold(scan::kSpace, 6))
      .Then(Idle(3))
      // Back with the row where it was; the network screen on Enter.
      .Then(Hold(scan::kO, 3))
      .Then(Do([&](TestPlatform&) { selectedOnReturn = screen.View().selected; }))
      .Then(Hold(scan::kDown, 3))
      .Then(Hold(scan::kEnter, 6))
      .Then(Idle(3))
      // BACK, and Esc held long enough for the menu to leave the program if it saw it.
      .Then(Hold(scan::kO, 3))
      .Then(Hold(scan::kDown, 3))
      .Then(Hold(scan::kEnter, 6))
      .Then(Hold(scan::kO, 3))
      .Then(Hold(scan::kEsc, 8))
      .Then(Idle(5))
      // The window closed with the screen open ends the program, the menu uncovered.
      .Then(Hold(scan::kO, 3))
      .Then(Do([](TestPlatform& p) { p.RequestClose(); }));
  EXPECT_EQ(rig.Run(player), 0);
  EXPECT_TRUE(player.Finished()) << "left after step " << player.StepsDone();
  EXPECT_TRUE(footShown);
  EXPECT_TRUE(flashesShown);
  EXPECT_EQ(rig.opens, 5);
  EXPECT_FALSE(screen.Open());
  EXPECT_FALSE(menu.covered);
  EXPECT_EQ(rig.calibrationOpened, 1);
  EXPECT_EQ(rig.networkOpened, 1);
  EXPECT_EQ(selectedOnReturn, 4);
  // The menu as it was: no game, the same item, the same window.
  EXPECT_FALSE(rig.gameStarted);
  EXPECT_EQ(menu.menuIndex, 3);
  EXPECT_EQ(screenMode.index, 0);

  EXPECT_EQ(rig.MasterLevels(), (std::vector<int>{kStartVolume, 8, 7, 6}));
  EXPECT_TRUE(calmFlashes);
  EXPECT_EQ(delays, (std::vector<int>{10, 300, 290}));
  EXPECT_EQ(AvOffsetMs(), 290);
  const Settings kept = rig.Kept();
  EXPECT_EQ(kept.volume, 6);
  EXPECT_TRUE(kept.calmFlashes);
  EXPECT_EQ(kept.avOffsetMs, 290);
  EXPECT_TRUE(kept.ownMusic);
  EXPECT_EQ(rig.err.str(), "");
  calmFlashes = false;
  SetAvOffsetMs(0);
}

TEST(OptionsScreen, TheMouseChoosesWhereItMovesAndAClickChangesOrActs) {
  // Fullscreen on a 1920 x 1200 desktop: the 1280 x 720 picture 1.5 times as large, 60 pixels
  // down.
  const layout::PicturePoint fullscreen =
      layout::MouseInPicture({960, 600, 0, 0}, {1920, 1200}, 1280, 720);
  EXPECT_EQ(fullscreen.x, 640);
  EXPECT_EQ(fullscreen.y, 360);
  EXPECT_EQ(layout::MouseInPicture({30, 90, 0, 0}, {0, 0}, 1280, 720).y, 90);

  OptionsRig rig(false);
  const OptionsPlatform& screen = *rig.options;
  std::vector<int> selected;
  const auto noteSelected = Do([&](TestPlatform&) { selected.push_back(screen.View().selected); });
  const int32_t footX = layout::kFootLeft + 5 * layout::kFootLetterAdvance;
  const int back = static_cast<int>(screen.View().rows.size()) - 1;
  Player player;
  // Past the frames in which the menu ignores a click.
  player.Then(WaitFor([] { return menu.menuFrames > 12; }));
  // A click on the menu's foot opens it (the menu would start a game on any other click).
  Click(player, footX, layout::kFootCapTop + 8);
  // Moved over FLASHES, it is chosen; Up chooses the row above while the mouse stands still.
  player.Then(Mouse(300, RowMiddle(2), false)).Then(Idle(2)).Then(noteSelected);
  player.Then(Hold(scan::kUp, 3)).Then(Idle(3)).Then(noteSelected);
  // Nothing to switch to: no music of the player's was chosen.
  Click(player, 1000, RowMiddle(1));
  // Right of the middle of a value steps it up, left of it down; the label of a value acts.
  Click(player, 1000, RowMiddle(2));
  Click(player, 640, RowMiddle(3));
  Click(player, 1000, RowMiddle(0));
  Click(player, 300, RowMiddle(0));
  player.Then(noteSelected);
  // Outside the rows nothing is chosen.
  player.Then(Mouse(100, 100, false)).Then(Idle(2)).Then(noteSelected);
  // BACK, the button held for frames after the screen closed.
  player.Then(Mouse(300, RowMiddle(back), false))
      .Then(Idle(2))
      .Then(Mouse(300, RowMiddle(back), true))
      .Then(Idle(8))
      .Then(Mouse(300, RowMiddle(back), false))
      .Then(Idle(4))
      .Then(Do([](TestPlatform& p) { p.RequestClose(); }));
  EXPECT_EQ(rig.Run(player), 0);
  EXPECT_TRUE(player.Finished()) << "left after step " << player.StepsDone();
  EXPECT_EQ(rig.opens, 1);
  EXPECT_FALSE(screen.Open());
  EXPECT_FALSE(rig.gameStarted);
  EXPECT_EQ(selected, (std::vector<int>{2, 1, 0, 0}));
  EXPECT_EQ(rig.MasterLevels(), (std::vector<int>{kStartVolume, 8}));
  EXPECT_TRUE(calmFlashes);
  EXPECT_EQ(AvOffsetMs(), -10);
  const Settings kept = rig.Kept();
  EXPECT_EQ(kept.volume, 8);
  EXPECT_TRUE(kept.calmFlashes);
  EXPECT_EQ(kept.avOffsetMs, -10);
  EXPECT_EQ(kept.music, "");
  EXPECT_FALSE(kept.ownMusic);
  calmFlashes = false;
  SetAvOffsetMs(0);
}

TEST(OptionsScreen, AGamepadOpensChangesAndLeavesItWithoutLeavingTheProgram) {
  VirtualGamepad gamepad;
  OptionsRig rig(true);
  // A control held for some frames, then let go: a button, or the left stick across.
  const auto press = [&](SDL_GameControllerButton which, int frames) {
    return [&gamepad, which, frames, held = 0](TestPlatform&) mutable {
      gamepad.Button(which, ++held < frames);
      return held >= frames;
    };
  };
  const auto pushAcross = [&](int value, int frames) {
    return [&gamepad, value, frames, held = 0](TestPlatform&) mutable {
      gamepad.Stick(SDL_CONTROLLER_AXIS_LEFTX, ++held < frames ? value : 0);
      return held >= frames;
    };
  };
  Player player;
  player.Then(WaitFor([] { return menu.menuFrames > 3; }))
      .Then(press(SDL_CONTROLLER_BUTTON_Y, 4))
      // The volume up on the D-pad, down twice on the stick.
      .Then(press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 5))
      .Then(pushAcross(-20000, 5))
      .Then(Idle(2))
      .Then(pushAcross(-20000, 5))
      // Calm flashes with A, two rows down.
      .Then(press(SDL_CONTROLLER_BUTTON_DPAD_DOWN, 3))
      .Then(Idle(2))
      .Then(press(SDL_CONTROLLER_BUTTON_DPAD_DOWN, 3))
      .Then(press(SDL_CONTROLLER_BUTTON_A, 4))
      // Back closes it; held on, it must not leave the program from the menu.
      .Then(press(SDL_CONTROLLER_BUTTON_BACK, 9))
      .Then(Idle(4))
      .Then(Do([](TestPlatform& p) { p.RequestClose(); }));
  EXPECT_EQ(rig.Run(player), 0);
  EXPECT_TRUE(player.Finished()) << "left after step " << player.StepsDone();
  EXPECT_EQ(rig.opens, 1);
  EXPECT_FALSE(rig.options->Open());
  EXPECT_EQ(rig.MasterLevels(), (std::vector<int>{kStartVolume, 8, 7, 6}));
  EXPECT_TRUE(calmFlashes);
  EXPECT_TRUE(rig.Kept().calmFlashes);
  EXPECT_FALSE(rig.gameStarted);
  calmFlashes = false;
}

}  // namespace
}  // namespace fenwhit
