// Gamepads through SDL's own game controller layer on virtual joysticks, driving the real
// menu and game loops: plugged in before or during a game, and unplugged mid-move.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "app/display.h"
#include "game/game_state.h"
#include "gamepad/gamepad_platform.h"
#include "support/program_harness.h"
#include "support/virtual_gamepad.h"
#include "ui/main_menu.h"

namespace fenwhit {
namespace {

using testing::ProgramHarness;
using testing::SdlGamepadsOnTestPlatform;
using testing::VirtualGamepad;

constexpr int kFarUp = -20000;
constexpr int kFarDown = 20000;

class GamepadTest : public ::testing::Test {
 protected:
  // Runs the program with the script; every pump sees the state the frames before it left.
  int Run(TestPlatform::Script script) {
    harness.platform.SetScript([script = std::move(script)](TestPlatform& p, int pump) {
      script(p, pump);
      if (pump == ProgramHarness::kFrameLimit) p.RequestClose();
    });
    return RunProgram(platform, harness.renderer, harness.sound, harness.options);
  }

  ProgramHarness harness;
  SdlGamepadsOnTestPlatform sdl{harness.platform};
  GamepadPlatform platform{sdl};
};

TEST_F(GamepadTest, MenuStepsOnceHoweverLongTheStickIsHeldAndStartActivates) {
  VirtualGamepad gamepad;  // plugged in before the program starts
  menu.menuIndex = 0;
  std::map<int, int> index;
  const int status = Run([&](TestPlatform&, int pump) {
    index[pump] = menu.menuIndex;
    switch (pump) {
      case 2:
        gamepad.Stick(SDL_CONTROLLER_AXIS_LEFTY, kFarDown);
        break;
      case 42:
        gamepad.Stick(SDL_CONTROLLER_AXIS_LEFTY, 7000);
        break;  // inside the dead zone
      case 45:
        gamepad.Stick(SDL_CONTROLLER_AXIS_LEFTY, 9000);
        break;  // past it
      case 47:
        gamepad.Stick(SDL_CONTROLLER_AXIS_LEFTY, 0);
        break;
      case 48:
        gamepad.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
        break;
      case 53:
        gamepad.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
        break;
      case 54:
        gamepad.Button(SDL_CONTROLLER_BUTTON_START, true);
        break;
      case 55:
        gamepad.Button(SDL_CONTROLLER_BUTTON_START, false);
        break;
      case 56:
        gamepad.Button(SDL_CONTROLLER_BUTTON_BACK, true);
        break;
      default:
        break;
    }
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(harness.platform.Pumps(), 57);  // Back leaves like Esc
  EXPECT_EQ(index[3], 1);
  EXPECT_EQ(index[45], 1);  // forty frames held, one step
  EXPECT_EQ(index[46], 2);  // let go within the dead zone, then pushed past it
  EXPECT_EQ(index[54], 3);  // the D-pad steps once too
  // Start on the 1280 x 800 item switched the screen mode.
  EXPECT_EQ(harness.platform.WindowsOpened(), 2);
  EXPECT_EQ(screenMode.index, 1);
  SwitchScreenMode(0);  // leave the start mode for the next test
}

TEST_F(GamepadTest, OnePaddleGameFiresRefusesAndStopsWhenTheGamepadIsUnplugged) {
  std::optional<VirtualGamepad> first(std::in_place);
  std::optional<VirtualGamepad> second;
  menu.menuIndex = 0;
  std::map<int, int32_t> paddle;
  int shotsWhileAHeldFromTheMenu = 0;
  int shotsWithTheTrigger = 0;
  int32_t cancelsBefore = 0;
  const int status = Run([&](TestPlatform& p, int pump) {
    if (pump == 3) game.paddleY[0] = 300;  // room to move both ways
    paddle[pump] = game.paddleY[0];
    const bool fired = game.shotCooldown == 6;  // in the frame before this pump
    if (pump > 3 && pump <= 12 && fired) ++shotsWhileAHeldFromTheMenu;
    if (pump > 14 && pump <= 30 && fired) ++shotsWithTheTrigger;
    switch (pump) {
      case 2:
        first->Button(SDL_CONTROLLER_BUTTON_A, true);
        break;  // starts the game
      case 12:
        first->Button(SDL_CONTROLLER_BUTTON_A, false);
        break;
      case 14:
        first->Trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, true);
        break;
      case 30:
        first->Trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, false);
        break;
      case 32:
        first->Stick(SDL_CONTROLLER_AXIS_LEFTY, kFarUp);
        break;
      case 36:
        first.reset();
        break;  // unplugged with the stick still up
      case 46:
        second.emplace();
        break;
      case 48:
        second->Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
        break;
      case 52:
        second->Rest();
        cancelsBefore = game.cancels;
        second->Button(SDL_CONTROLLER_BUTTON_X, true);
        break;
      case 56:
        EXPECT_EQ(game.cancels, cancelsBefore - 1);
        EXPECT_EQ(game.eventNumber, -1);
        second->Button(SDL_CONTROLLER_BUTTON_BACK, true);
        break;
      case 58:
        EXPECT_EQ(game.lives, -1);  // Back ends the game like Esc
        p.RequestClose();
        break;
      default:
        break;
    }
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(game.twoPaddles, 0);
  // A held from the menu into the game fires only once released and pressed again.
  EXPECT_EQ(shotsWhileAHeldFromTheMenu, 0);
  EXPECT_GE(shotsWithTheTrigger, 2);
  EXPECT_EQ(paddle[36] - paddle[32], -4 * 18);
  EXPECT_EQ(paddle[37], paddle[36]);  // unplugging let go of the stick
  EXPECT_EQ(paddle[46], paddle[36]);
  EXPECT_EQ(paddle[52] - paddle[48], 4 * 18);  // the gamepad plugged in mid-game
}

TEST_F(GamepadTest, TwoPaddleGameGivesEachPlayerAGamepadOrOneGamepadBothSticks) {
  std::optional<VirtualGamepad> left(std::in_place);
  std::optional<VirtualGamepad> right(std::in_place);
  menu.menuIndex = 1;
  std::map<int, std::pair<int32_t, int32_t>> paddles;
  const int status = Run([&](TestPlatform& p, int pump) {
    if (pump == 3) game.paddleY[0] = game.paddleY[1] = 300;  // room to move both ways
    paddles[pump] = {game.paddleY[0], game.paddleY[1]};
    switch (pump) {
      case 2:
        left->Button(SDL_CONTROLLER_BUTTON_A, true);
        break;
      case 3:
        left->Button(SDL_CONTROLLER_BUTTON_A, false);
        break;
      case 6:
        left->Stick(SDL_CONTROLLER_AXIS_LEFTY, kFarUp);
        right->Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
        break;
      case 9:
        left->Rest();
        right->Rest();
        break;
      case 12:
        right.reset();
        break;  // the left player's gamepad now steers both
      case 14:
        left->Stick(SDL_CONTROLLER_AXIS_RIGHTY, kFarUp);
        left->Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
        break;
      case 16:
        p.RequestClose();
        break;
      default:
        break;
    }
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(game.twoPaddles, 1);
  EXPECT_EQ(paddles[9].first - paddles[6].first, -3 * 18);
  EXPECT_EQ(paddles[9].second - paddles[6].second, 3 * 18);
  EXPECT_EQ(paddles[16].first - paddles[14].first, 2 * 18);
  EXPECT_EQ(paddles[16].second - paddles[14].second, -2 * 18);
}

}  // namespace
}  // namespace fenwhit
