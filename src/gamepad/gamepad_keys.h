#pragma once
// What the gamepads stand for: the keys the menu or the game reads, so the rules keep
// reading held keys and a gamepad only adds to what is held.
#include <array>
#include <bitset>

#include "platform/platform.h"

namespace fenwhit {

enum class PadContext { kMenu, kOnePaddle, kTwoPaddles };

using HeldKeys = std::bitset<scan::kCount>;
using GamepadSlots = std::array<GamepadState, pad::kSlots>;

// The paddles a gamepad plays in a two-paddle game.
namespace side {
constexpr uint8_t kLeft = 1;
constexpr uint8_t kRight = 2;
}  // namespace side
using SideSlots = std::array<uint8_t, pad::kSlots>;

// Menu: up and down move the selection, left and right change an option, A or Start
// activates, Y opens the options, Back leaves like Esc (or the screen over the menu).
// One paddle: every gamepad steers it; A, the right shoulder or trigger fire; B or X
// refuses the coming event; Back ends the game like Esc.
// Two paddles: each gamepad plays the sides it has (see PadSides); one with both steers
// the left paddle with its left stick or D-pad and fires it with A or its left shoulder
// or trigger, and the right paddle with its right stick, right shoulder or trigger.
HeldKeys GamepadKeys(PadContext context, const GamepadSlots& pads, const SideSlots& sides);

}  // namespace fenwhit
