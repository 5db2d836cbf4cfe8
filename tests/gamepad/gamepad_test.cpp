// Gamepads through SDL's own game controller layer on virtual joysticks, driving the real
// menu and game loops: plugged in before or during a game, and unplugged mid-move or as
// a player's battery dies.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "app/display.h"
#include "game/game_state.h"
#include "gamepad/gamepad_platform.h"
#include "gamepad/pad_sides.h"
#include "pause/pause_platform.h"
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
  std::map<int, uint64_t> lost;  // gamepads in play gone, for the pause
  int shotsWhileAHeldFromTheMenu = 0;
  int shotsWithTheTrigger = 0;
  int32_t cancelsBefore = 0;
  const int status = Run([&](TestPlatform& p, int pump) {
    if (pump == 3) game.paddleY[0] = 300;  // room to move both ways
    paddle[pump] = game.paddleY[0];
    lost[pump] = platform.GamepadsLost();
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
  EXPECT_EQ(lost[36], 0u);
  EXPECT_EQ(lost[37], 1u);
  EXPECT_EQ(lost[58], 1u);
}

// Two players, two gamepads, and batteries that die: the game pauses, the gamepad left
// keeps its own paddle, and one plugged in (while paused or not) takes the free side.
TEST_F(GamepadTest, TwoPaddleGamePausesWhenAGamepadGoesAndEachKeepsItsSide) {
  std::optional<VirtualGamepad> left(std::in_place);
  std::optional<VirtualGamepad> right(std::in_place);
  PausePlatform pause(
      platform, harness.sound, [] {}, true);
  menu.menuIndex = 1;
  std::map<int, std::pair<int32_t, int32_t>> paddles;
  std::map<int, bool> paused;
  harness.platform.SetScript([&](TestPlatform& p, int pump) {
    if (pump == 3) game.paddleY[0] = game.paddleY[1] = 300;  // room to move both ways
    paddles[pump] = {game.paddleY[0], game.paddleY[1]};
    paused[pump] = pause.Paused();
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
        right.reset();  // its battery dies
        break;
      case 16:
      case 36:
        left->Button(SDL_CONTROLLER_BUTTON_START, true);  // goes on
        break;
      case 17:
      case 37:
        left->Button(SDL_CONTROLLER_BUTTON_START, false);
        break;
      case 20:
        // All a lone gamepad would steer the right paddle with.
        left->Stick(SDL_CONTROLLER_AXIS_RIGHTY, kFarUp);
        left->Trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, true);
        left->Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
        break;
      case 24:
        left->Rest();
        right.emplace();  // back in play, no pause
        break;
      case 26:
        right->Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
        break;
      case 30:
        right->Rest();
        break;
      case 32:
        right.reset();  // the second time
        break;
      case 34:
        right.emplace();  // while paused
        break;
      case 40:
        right->Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
        break;
      case 44:
        right->Rest();
        break;
      case 46:
        left.reset();
        break;
      case 50:
        p.RequestClose();
        break;
      default:
        break;
    }
  });
  const int status = RunProgram(pause, harness.renderer, harness.sound, harness.options);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(game.twoPaddles, 1);
  EXPECT_EQ(paddles[9].first - paddles[6].first, -3 * 18);
  EXPECT_EQ(paddles[9].second - paddles[6].second, 3 * 18);
  for (int pump = 13; pump <= 16; ++pump) EXPECT_TRUE(paused[pump]) << pump;
  EXPECT_FALSE(paused[12]);
  EXPECT_FALSE(paused[18]);
  EXPECT_EQ(paddles[24].first - paddles[20].first, 4 * 18);
  EXPECT_EQ(paddles[24].second, paddles[20].second);  // the other player's paddle stays
  for (int pump = 24; pump <= 32; ++pump) EXPECT_FALSE(paused[pump]) << pump;
  EXPECT_EQ(paddles[30].second - paddles[26].second, -4 * 18);
  EXPECT_EQ(paddles[30].first, paddles[26].first);
  for (int pump = 33; pump <= 36; ++pump) EXPECT_TRUE(paused[pump]) << pump;
  EXPECT_EQ(paddles[44].second - paddles[40].second, 4 * 18);
  EXPECT_EQ(paddles[44].first, paddles[40].first);
  EXPECT_TRUE(paused[47]);  // the left player's gamepad going pauses too
  // The music held its place through each pause.
  int pauses = 0;
  for (const SoundCall& call : harness.sound.CallsOf("pause")) pauses += call.value;
  EXPECT_EQ(pauses, 3);
}

// Sides as gamepads come and go, without SDL: slots filled as a script likes.
TEST(PadSides, EachKeepsItsSideAndTheSameGamepadComesBackToItsOwn) {
  GamepadSlots pads{};
  const auto plug = [&pads](int slot, int32_t number, uint64_t device) {
    pads[slot] = {true, 0, number, device};
  };
  const SideSlots none{};
  const uint8_t both = side::kLeft | side::kRight;
  PadSides sides;

  // A lone gamepad at the start plays both; a second one plugged in takes the right side.
  plug(2, 7, 100);
  sides.Deal(pads);
  EXPECT_EQ(sides.BySlot(), (SideSlots{0, 0, both, 0}));
  plug(0, 8, 200);
  EXPECT_FALSE(sides.Follow(pads));
  EXPECT_EQ(sides.BySlot(), (SideSlots{side::kRight, 0, side::kLeft, 0}));

  // Two at the start, in slot order. Both go; the right player's comes back first and gets
  // its own side, though the left is free too; then a stranger takes the left.
  pads = {};
  plug(0, 1, 100);
  plug(1, 2, 200);
  plug(3, 3, 300);  // a third plays no side
  sides.Deal(pads);
  EXPECT_EQ(sides.BySlot(), (SideSlots{side::kLeft, side::kRight, 0, 0}));
  pads[0] = pads[1] = {};
  EXPECT_TRUE(sides.Follow(pads));
  EXPECT_EQ(sides.BySlot(), none);
  EXPECT_FALSE(sides.Follow(pads));  // counted once
  plug(0, 4, 200);
  EXPECT_FALSE(sides.Follow(pads));
  EXPECT_EQ(sides.BySlot(), (SideSlots{side::kRight, 0, 0, 0}));
  plug(1, 5, 900);
  sides.Follow(pads);
  EXPECT_EQ(sides.BySlot(), (SideSlots{side::kRight, side::kLeft, 0, 0}));

  // Pulled and plugged again between two pumps, in the same slot: gone, then back.
  plug(1, 6, 900);
  EXPECT_TRUE(sides.Follow(pads));
  EXPECT_EQ(sides.BySlot(), (SideSlots{side::kRight, side::kLeft, 0, 0}));

  // The lone gamepad going leaves both sides to the next that comes.
  pads = {};
  plug(1, 10, 100);
  sides.Deal(pads);
  pads[1] = {};
  EXPECT_TRUE(sides.Follow(pads));
  plug(3, 11, 500);
  sides.Follow(pads);
  EXPECT_EQ(sides.BySlot(), (SideSlots{0, 0, 0, both}));
}

}  // namespace
}  // namespace fenwhit
