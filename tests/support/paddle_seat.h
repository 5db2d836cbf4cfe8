#pragma once
// One player's seat at a two-paddle game as the network game gives it: the Up and Down
// they hold become the left paddle's W and S or the right paddle's own Up and Down,
// `delay` frames (pumps) late, and their Up and Down reach nothing else.
#include <deque>
#include <utility>

#include "platform/forwarding_platform.h"

namespace fenwhit::testing {

class PaddleSeat final : public ForwardingPlatform {
 public:
  PaddleSeat(Platform& player, int paddle, int delay)
      : ForwardingPlatform(player), paddle_(paddle), delay_(delay) {}

  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override;

 private:
  int paddle_;
  int delay_;
  // Up and Down as held at each of the last delay_ + 1 pumps, the oldest first.
  std::deque<std::pair<bool, bool>> held_;
};

}  // namespace fenwhit::testing
