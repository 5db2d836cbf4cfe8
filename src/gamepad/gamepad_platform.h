#pragma once
// The platform the game sees with gamepads: the real one, plus the keys its gamepads
// stand for in the menu or the kind of game running. A gamepad playing in a game that
// goes away is counted, for the pause: every gamepad in a one-paddle game, those with a
// side in a two-paddle one.
#include "gamepad/gamepad_keys.h"
#include "gamepad/pad_sides.h"
#include "platform/forwarding_platform.h"

namespace fenwhit {

class GamepadPlatform final : public ForwardingPlatform {
 public:
  explicit GamepadPlatform(Platform& real) : ForwardingPlatform(real) {}

  // Every menu and game frame pumps once: the gamepads' keys are decided here.
  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override {
    return inner().KeyHeld(scanCode) ||
           (scanCode >= 0 && scanCode < scan::kCount && keys_.test(static_cast<size_t>(scanCode)));
  }
  uint64_t GamepadsLost() const override { return inner().GamepadsLost() + lost_; }

 private:
  HeldKeys keys_;
  PadContext context_ = PadContext::kMenu;
  PadSides sides_;
  GamepadSlots last_{};
  uint64_t lost_ = 0;
  // Buttons held when the menu gave way to a game or back count only once released:
  // A held to fire as a game ends must not start the next one, nor Back end the program.
  uint32_t stale_[pad::kSlots] = {};
};

}  // namespace fenwhit
