#include "platform/held_input.h"

namespace fenwhit {

void HeldInput::HideHeld(Platform& input) {
  for (int code = 1; code < scan::kCount; ++code) keys_[code] = input.KeyHeld(code);
  buttons_ = input.ReadMouse().buttons;
}

void HeldInput::ForgetReleased(Platform& input) {
  for (int code = 1; code < scan::kCount; ++code) {
    if (keys_[code] && !input.KeyHeld(code)) keys_[code] = false;
  }
  buttons_ &= input.ReadMouse().buttons;
}

}  // namespace fenwhit
