#include "gamepad/pad_sides.h"

namespace fenwhit {

void PadSides::Take(int side, int slot, const GamepadState& pad) {
  sides_[side] = {slot, pad.plug, pad.device, true};
}

void PadSides::Deal(const GamepadSlots& pads) {
  sides_[0] = sides_[1] = Holder{};
  seen_ = pads;
  int dealt = 0;
  for (int slot = 0; slot < pad::kSlots; ++slot) {
    if (pads[slot].connected && dealt < 2) Take(dealt++, slot, pads[slot]);
  }
  if (dealt == 1) sides_[1] = sides_[0];
}

bool PadSides::Plays(int slot, const GamepadState& pad) const {
  for (const Holder& holder : sides_) {
    if (holder.present && holder.slot == slot && holder.plug == pad.plug) return true;
  }
  return false;
}

void PadSides::Seat(int slot, const GamepadState& pad) {
  int side = -1;
  for (int s = 0; s < 2 && side < 0; ++s) {
    const Holder& last = sides_[s];
    if (!last.present && last.slot >= 0 && last.device == pad.device) side = s;
  }
  for (int s = 0; s < 2 && side < 0; ++s) {
    if (!sides_[s].present) side = s;
  }
  if (side < 0) {
    // No side free: a lone gamepad hands the right one over.
    if (sides_[0].present && sides_[0].SameAs(sides_[1])) Take(1, slot, pad);
    return;
  }
  // Both sides of one gamepad that left go to the one that comes.
  const Holder gone = sides_[side];
  for (int s = 0; s < 2; ++s) {
    if (!sides_[s].present && sides_[s].SameAs(gone)) Take(s, slot, pad);
  }
}

bool PadSides::Follow(const GamepadSlots& pads) {
  bool lost = false;
  for (Holder& holder : sides_) {
    if (!holder.present) continue;
    const GamepadState& now = pads[holder.slot];
    if (!now.connected || now.plug != holder.plug) {
      holder.present = false;
      lost = true;
    }
  }
  for (int slot = 0; slot < pad::kSlots; ++slot) {
    const GamepadState& pad = pads[slot];
    const GamepadState& before = seen_[slot];
    const bool plugged = pad.connected && (!before.connected || pad.plug != before.plug);
    if (plugged && !Plays(slot, pad)) Seat(slot, pad);
  }
  seen_ = pads;
  return lost;
}

SideSlots PadSides::BySlot() const {
  SideSlots bySlot{};
  for (int s = 0; s < 2; ++s) {
    if (sides_[s].present) bySlot[sides_[s].slot] |= s == 0 ? side::kLeft : side::kRight;
  }
  return bySlot;
}

}  // namespace fenwhit
