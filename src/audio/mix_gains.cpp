#include "audio/mix_gains.h"

#include <array>
#include <cmath>

namespace fenwhit {

namespace {

// Equal-power pan law by position: a quarter turn from all left (0) through the centre
// (128, both at cos 45 degrees) to all right (255).
const std::array<Gains, 256>& PanLaw() {
  static const std::array<Gains, 256> table = [] {
    std::array<Gains, 256> t{};
    const double quarterTurn = std::acos(0.0);
    for (int p = 0; p < 256; ++p) {
      const double share = p <= 128 ? p / 256.0 : 0.5 + (p - 128) / 254.0;
      t[p].left = static_cast<int32_t>(std::lround(std::cos(share * quarterTurn) * kUnityGain));
      t[p].right = static_cast<int32_t>(std::lround(std::sin(share * quarterTurn) * kUnityGain));
    }
    return t;
  }();
  return table;
}

int32_t Scale(int32_t gain, int volume) {
  return (gain * volume + 127) / 255;
}

}  // namespace

Gains MonoGains(int volume, int pan) {
  volume = ClampVolume(volume);
  const Gains law = PanLaw()[ClampPan(pan)];
  return {Scale(law.left, volume), Scale(law.right, volume)};
}

Gains StereoGains(int volume, int pan) {
  volume = ClampVolume(volume);
  pan = ClampPan(pan);
  const int32_t left = pan <= 128 ? kUnityGain : (255 - pan) * kUnityGain / 127;
  const int32_t right = pan >= 128 ? kUnityGain : pan * kUnityGain / 128;
  return {Scale(left, volume), Scale(right, volume)};
}

}  // namespace fenwhit
