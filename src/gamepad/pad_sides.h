#pragma once
// Which gamepad plays which side of a two-paddle game. As the game starts the first two
// gamepads take the left and the right paddle, a lone one both. Then each keeps its side:
// one that goes away (its battery dies) leaves its side free while the other plays on
// with its own, and the next gamepad plugged in takes the free side, the same gamepad
// again before any other. A lone gamepad joined by another keeps the left side.
#include "gamepad/gamepad_keys.h"

namespace fenwhit {

class PadSides {
 public:
  // As a two-paddle game starts.
  void Deal(const GamepadSlots& pads);
  // Every pump through the game; true when a gamepad with a side went away.
  bool Follow(const GamepadSlots& pads);
  // The sides each slot's gamepad plays.
  SideSlots BySlot() const;

 private:
  // The gamepad that holds a side, or held it last (slot -1: none ever did).
  struct Holder {
    int slot = -1;
    int32_t plug = -1;
    uint64_t device = 0;
    bool present = false;
    bool SameAs(const Holder& other) const { return slot == other.slot && plug == other.plug; }
  };
  bool Plays(int slot, const GamepadState& pad) const;
  // A gamepad plugged in during the game takes a free side: the one it left, if it is the
  // same gamepad, else the first.
  void Seat(int slot, const GamepadState& pad);
  void Take(int side, int slot, const GamepadState& pad);

  Holder sides_[2];
  // The slots at the last pump, so only a gamepad plugged in since takes a side.
  GamepadSlots seen_{};
};

}  // namespace fenwhit
