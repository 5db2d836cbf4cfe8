#include "support/paddle_seat.h"

namespace fenwhit::testing {

void PaddleSeat::PumpEvents() {
  inner().PumpEvents();
  held_.emplace_back(inner().KeyHeld(scan::kUp), inner().KeyHeld(scan::kDown));
  while (static_cast<int>(held_.size()) > delay_ + 1) held_.pop_front();
}

bool PaddleSeat::KeyHeld(int scanCode) const {
  const bool arrived = static_cast<int>(held_.size()) == delay_ + 1;
  const int up = paddle_ == 0 ? scan::kW : scan::kUp;
  const int down = paddle_ == 0 ? scan::kS : scan::kDown;
  if (scanCode == up) return arrived && held_.front().first;
  if (scanCode == down) return arrived && held_.front().second;
  if (scanCode == scan::kUp || scanCode == scan::kDown) return false;
  return inner().KeyHeld(scanCode);
}

}  // namespace fenwhit::testing
