#include "gamepad/gamepad_platform.h"

#include "audio/music.h"
#include "game/game_state.h"

namespace fenwhit {

void GamepadPlatform::PumpEvents() {
  inner().PumpEvents();
  // A game runs its beat thread from its start until it is left; the menu never does.
  PadContext context = PadContext::kMenu;
  if (BeatThreadRunning()) {
    context = game.twoPaddles != 0 ? PadContext::kTwoPaddles : PadContext::kOnePaddle;
  }
  GamepadSlots pads;
  for (int slot = 0; slot < pad::kSlots; ++slot) {
    pads[slot] = inner().Gamepad(slot);
    if (context != context_) stale_[slot] = pads[slot].held & ~pad::kDirections;
    stale_[slot] &= pads[slot].held;
    pads[slot].held &= ~stale_[slot];
  }
  context_ = context;
  keys_ = GamepadKeys(context, pads);
}

}  // namespace fenwhit
