#include "gamepad/gamepad_keys.h"

namespace fenwhit {

namespace {

void Hold(HeldKeys& keys, uint32_t held, uint32_t controls, int scanCode) {
  if ((held & controls) != 0) keys.set(static_cast<size_t>(scanCode));
}

}  // namespace

HeldKeys GamepadKeys(PadContext context, const GamepadSlots& pads, const SideSlots& sides) {
  HeldKeys keys;
  for (int slot = 0; slot < pad::kSlots; ++slot) {
    if (!pads[slot].connected) continue;
    const uint32_t held = pads[slot].held;
    const uint8_t plays = sides[slot];
    Hold(keys, held, pad::kBack, scan::kEsc);
    // Start pauses a game (and goes on); in the menu it activates.
    if (context != PadContext::kMenu) Hold(keys, held, pad::kStart, scan::kP);
    switch (context) {
      case PadContext::kMenu:
        Hold(keys, held, pad::kUp, scan::kUp);
        Hold(keys, held, pad::kDown, scan::kDown);
        Hold(keys, held, pad::kLeft, scan::kLeft);
        Hold(keys, held, pad::kRight, scan::kRight);
        Hold(keys, held, pad::kA | pad::kStart, scan::kSpace);
        Hold(keys, held, pad::kY, scan::kO);
        break;
      case PadContext::kOnePaddle:
        Hold(keys, held, pad::kUp, scan::kUp);
        Hold(keys, held, pad::kDown, scan::kDown);
        Hold(keys, held, pad::kA | pad::kRightShoulder | pad::kRightTrigger, scan::kZ);
        Hold(keys, held, pad::kB | pad::kX, scan::kSpace);
        break;
      case PadContext::kTwoPaddles:
        Hold(keys, held, pad::kB | pad::kX, scan::kSpace);
        if (plays == (side::kLeft | side::kRight)) {
          Hold(keys, held, pad::kUp, scan::kW);
          Hold(keys, held, pad::kDown, scan::kS);
          Hold(keys, held, pad::kA | pad::kLeftShoulder | pad::kLeftTrigger, scan::kA);
          Hold(keys, held, pad::kRightStickUp, scan::kUp);
          Hold(keys, held, pad::kRightStickDown, scan::kDown);
          Hold(keys, held, pad::kRightShoulder | pad::kRightTrigger, scan::kLeft);
        } else if (plays != 0) {
          const bool left = plays == side::kLeft;
          const uint32_t fire = pad::kA | pad::kRightShoulder | pad::kRightTrigger;
          Hold(keys, held, pad::kUp, left ? scan::kW : scan::kUp);
          Hold(keys, held, pad::kDown, left ? scan::kS : scan::kDown);
          Hold(keys, held, fire, left ? scan::kA : scan::kLeft);
        }
        break;
    }
  }
  return keys;
}

}  // namespace fenwhit
