#include "settings/volume_bar.h"

#include "app/display.h"
#include "audio/sound_device.h"
#include "gfx/draw.h"
#include "settings/settings_platform.h"
#include "ui/overlay_text.h"

namespace fenwhit {

namespace {

constexpr float kLabelScale = 0.6f;
constexpr int32_t kSegmentWidth = 18;
constexpr int32_t kSegmentGap = 6;
constexpr int32_t kSegmentHeight = kVolumeStepsHeight;
static_assert(kMasterVolumeSteps * (kSegmentWidth + kSegmentGap) - kSegmentGap ==
              kVolumeStepsWidth);
constexpr int32_t kLabelGap = 24;
constexpr double kFadeSeconds = 0.3;

}  // namespace

void DrawVolumeBar(const SettingsPlatform& settings, double now) {
  const double age = now - settings.VolumeChangedAt();
  if (settings.VolumeChangedAt() < 0 || age < 0 || age >= kVolumeBarSeconds) return;
  const double left = kVolumeBarSeconds - age;
  const int32_t brightness =
      left >= kFadeSeconds ? 255 : static_cast<int32_t>(255 * left / kFadeSeconds);
  const int32_t labelWidth = TextWidth("VOLUME", kLabelScale);
  const int32_t width = labelWidth + kLabelGap + kVolumeStepsWidth;
  const int32_t x = (screenMode.width - width) / 2;
  const int32_t y = screenMode.height - 100;
  UseWindowPixels();
  DarkenRect(x - 20, y - 12, width + 40, kVolumeStepsHeight + 24, brightness * 3 / 5);
  DrawNeonText(x, y - 4, "VOLUME", kLabelScale, kNeonWhite, brightness);
  DrawVolumeSteps(x + labelWidth + kLabelGap, y, settings.Volume(), brightness);
}

void DrawVolumeSteps(int32_t x, int32_t y, int level, int32_t brightness) {
  SetBlendAdditive();
  for (int32_t step = 0; step < kMasterVolumeSteps; ++step) {
    const Rgb colour = step < level ? kNeonCyan : kNeonDim;
    const int32_t shade = step < level ? brightness : brightness / 3;
    SetColor(colour.r * shade / 255, colour.g * shade / 255, colour.b * shade / 255, 255);
    FillRect(x + step * (kSegmentWidth + kSegmentGap), y, kSegmentWidth, kSegmentHeight);
  }
}

}  // namespace fenwhit
