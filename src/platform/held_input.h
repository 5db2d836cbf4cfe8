#pragma once
// Keys and mouse buttons a screen over the menu took, kept from the menu until each is let
// go: Esc or a click that closes the screen must not also act on what lies beneath.
#include <array>
#include <cstdint>

#include "platform/platform.h"

namespace fenwhit {

class HeldInput {
 public:
  // Hides everything `input` holds now.
  void HideHeld(Platform& input);
  // Stops hiding what has been let go; once a frame, after the events are pumped.
  void ForgetReleased(Platform& input);
  bool Hides(int scanCode) const {
    return scanCode > 0 && scanCode < scan::kCount && keys_[scanCode];
  }
  int32_t Shown(int32_t buttons) const { return buttons & ~buttons_; }

 private:
  std::array<bool, scan::kCount> keys_{};
  int32_t buttons_ = 0;
};

}  // namespace fenwhit
