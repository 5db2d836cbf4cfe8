#include "autoplay/autopilot.h"

#include "autoplay/paddle_steering.h"
#include "platform/platform.h"

namespace fenwhit {

namespace {
constexpr int32_t kOnePaddleItem = 0;
}

bool AutopilotKeys::Holds(int scanCode) const {
  return (up && scanCode == scan::kUp) || (down && scanCode == scan::kDown) ||
         (space && scanCode == scan::kSpace);
}

AutopilotKeys MenuKeys(const MenuState& menuState, const AutopilotKeys& previous) {
  AutopilotKeys keys;
  if (menuState.menuFrames < kAutopilotMenuWait) return keys;
  if (menuState.menuIndex > kOnePaddleItem) {
    keys.up = !previous.up;
  } else {
    keys.space = true;
  }
  return keys;
}

AutopilotKeys GameKeys(const GameState& state, std::span<const Ball> ballPool,
                       const SteerFor& how) {
  AutopilotKeys keys;
  const bool twoPaddleGame = state.twoPaddles != 0;
  if (twoPaddleGame != (how.paddle != kOnePaddleGame) || state.gameOver != 0) return keys;
  const Steer steer = SteerPaddle(state, ballPool, how);
  keys.up = steer == Steer::kUp;
  keys.down = steer == Steer::kDown;
  return keys;
}

}  // namespace fenwhit
