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
  bool lost = false;
  if (context == PadContext::kTwoPaddles) {
    if (context != context_) {
      sides_.Deal(pads);
    } else {
      lost = sides_.Follow(pads);
    }
  } else if (context == PadContext::kOnePaddle && context == context_) {
    for (int slot = 0; slot < pad::kSlots; ++slot) {
      const GamepadState& before = last_[slot];
      lost |= before.connected && (!pads[slot].connected || pads[slot].plug != before.plug);
    }
  }
  if (lost) ++lost_;
  last_ = pads;
  context_ = context;
  keys_ = GamepadKeys(context, pads, sides_.BySlot());
}

}  // namespace fenwhit
