#include "ui/intro.h"

#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "platform/platform.h"

namespace fenwhit {

namespace {

constexpr int kFramesPerFade = 101;

void DrawIntroFrame(int brightness) {
  SetBlendAdditive();
  SetColor(brightness, brightness, brightness, 255);
  DrawSprite(160, 0, pictures.logo, 0.0f, 1.0f);
  DrawText(6, 640, "V0.39 BETA", 1.0f, pictures.font);
  PresentFrame();
  ClearFrame();
  ThePlatform().SleepMs(20);
}

}  // namespace

void RunIntro() {
  int brightness = 0;
  for (int frame = 0; frame < kFramesPerFade; ++frame) {
    brightness += 4;
    if (brightness > 255) brightness = 255;
    DrawIntroFrame(brightness);
  }
  for (int frame = 0; frame < kFramesPerFade; ++frame) {
    brightness -= 4;
    if (brightness < 0) brightness = 0;
    DrawIntroFrame(brightness);
  }
}

}  // namespace fenwhit
