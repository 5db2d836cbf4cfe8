#include "calibration/kick_presses.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fenwhit {

void KickPresses::Press(double heardSeconds) {
  const auto kick = static_cast<int>(std::lround(heardSeconds / kickSeconds_));
  if (kick < kLeadInKicks || kick >= kLeadInKicks + kKicks) return;
  if (std::find(kicksPressed_.begin(), kicksPressed_.end(), kick) != kicksPressed_.end()) return;
  kicksPressed_.push_back(kick);
  offsets_.push_back(heardSeconds - kick * kickSeconds_);
}

bool KickPresses::Pressing(double heardSeconds) const {
  return heardSeconds >= (kLeadInKicks - 0.5) * kickSeconds_;
}

bool KickPresses::Over(double heardSeconds) const {
  return heardSeconds >= (kLeadInKicks + kKicks - 0.5) * kickSeconds_;
}

std::optional<int> KickPresses::LateByMs() const {
  if (Presses() < kFewestPresses) return std::nullopt;
  // Presses about half a kick late fall either side of the kicks' midpoint and are read
  // as early or late by turns: they are gathered around their mean on the circle of one
  // kick first, so that the median is taken of offsets that lie together.
  const double turn = 2.0 * std::numbers::pi / kickSeconds_;
  double x = 0.0;
  double y = 0.0;
  for (double offset : offsets_) {
    x += std::cos(offset * turn);
    y += std::sin(offset * turn);
  }
  const double centre = std::atan2(y, x) / turn;
  std::vector<double> gathered;
  for (double offset : offsets_) {
    gathered.push_back(centre + std::remainder(offset - centre, kickSeconds_));
  }
  std::sort(gathered.begin(), gathered.end());
  const size_t half = gathered.size() / 2;
  const double median =
      gathered.size() % 2 == 1 ? gathered[half] : (gathered[half - 1] + gathered[half]) / 2.0;
  return static_cast<int>(std::lround(median * 1000.0));
}

}  // namespace fenwhit
