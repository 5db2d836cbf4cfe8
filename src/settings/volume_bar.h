#pragma once
#include <cstdint>

// The small bar that shows the master volume for two seconds after a volume key.
namespace fenwhit {

class SettingsPlatform;

inline constexpr double kVolumeBarSeconds = 2.0;

// The bar's steps alone, the first `level` of them lit, their top left corner at (x, y)
// in the pixels drawn to now; brightness 0 to 255 fades them.
void DrawVolumeSteps(int32_t x, int32_t y, int level, int32_t brightness);
inline constexpr int32_t kVolumeStepsWidth = 234;
inline constexpr int32_t kVolumeStepsHeight = 30;

// Draws the bar in window pixels when the volume changed less than kVolumeBarSeconds before
// now (a reading of the same clock as SettingsPlatform::VolumeChangedAt).
void DrawVolumeBar(const SettingsPlatform& settings, double now);

}  // namespace fenwhit
