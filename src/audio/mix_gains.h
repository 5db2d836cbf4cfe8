#pragma once
// Channel volume and pan as a pair of gains in Q15 (32768 = unity).
#include <cstdint>

namespace fenwhit {

struct Gains {
  int32_t left = 0;
  int32_t right = 0;
};

constexpr int32_t kUnityGain = 32768;

inline int ClampPan(int pan) {
  return pan < 0 ? 0 : pan > 255 ? 255 : pan;
}
inline int ClampVolume(int volume) {
  return volume < 0 ? 0 : volume > 255 ? 255 : volume;
}

// A mono sample placed by pan at equal power: 0 all left, 128 both sides at -3 dB, 255
// all right. Volume scales linearly, 255 being unity.
Gains MonoGains(int volume, int pan);
// A stereo stream: pan only turns down the far side (128 leaves both at unity).
Gains StereoGains(int volume, int pan);

}  // namespace fenwhit
