#pragma once
// Reals become integers by rounding to nearest with halves to even: round(0.5) = 0,
// round(2.5) = 2. The default floating-point rounding mode does exactly this.
#include <cmath>
#include <cstdint>

namespace fenwhit {

inline int32_t RoundEven(double value) {
  return static_cast<int32_t>(std::nearbyint(value));
}

}  // namespace fenwhit
