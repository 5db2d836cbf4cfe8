#pragma once
// The attract mode's player: in the main menu it waits for a watcher to see the menu,
// then starts a one-paddle game; in the game it steers the paddle. In a network game it
// plays one paddle of two. It never fires and never refuses an event. Decisions are pure
// functions of the state they read.
#include <cstdint>
#include <span>

#include "autoplay/paddle_steering.h"
#include "game/balls.h"
#include "game/game_state.h"
#include "ui/main_menu.h"

namespace fenwhit {

struct AutopilotKeys {
  bool up = false;
  bool down = false;
  bool space = false;

  bool Holds(int scanCode) const;
};

// Menu frames left alone first: each sleeps 7 ms, so about a second and a half.
inline constexpr int32_t kAutopilotMenuWait = 180;

// previous: the keys held in the last frame; the menu steps only on a fresh press.
AutopilotKeys MenuKeys(const MenuState& menuState, const AutopilotKeys& previous);
// Up and Down for the paddle: kOnePaddleGame steers the one paddle and leaves two-paddle
// games alone; 0 or 1 steers that paddle of a two-paddle game (which the network game
// gives the one-paddle keys) and leaves one-paddle games alone. Nothing during a game's
// ending.
AutopilotKeys GameKeys(const GameState& state, std::span<const Ball> ballPool,
                       const SteerFor& how = {});

}  // namespace fenwhit
