#pragma once
// The small bar that shows the master volume for two seconds after a volume key.
namespace fenwhit {

class SettingsPlatform;

inline constexpr double kVolumeBarSeconds = 2.0;

// Draws the bar in window pixels when the volume changed less than kVolumeBarSeconds before
// now (a reading of the same clock as SettingsPlatform::VolumeChangedAt).
void DrawVolumeBar(const SettingsPlatform& settings, double now);

}  // namespace fenwhit
