#pragma once
// Float audio as the decoder gives it (nominally -1..1) to 16-bit samples.
#include <cmath>
#include <cstdint>

namespace fenwhit {

inline int16_t FloatToPcm16(float value) {
  const float scaled = value * 32767.0f;
  if (!(scaled > -32768.0f)) return -32768;  // also catches NaN
  if (scaled >= 32767.0f) return 32767;
  return static_cast<int16_t>(std::lrint(scaled));
}

}  // namespace fenwhit
