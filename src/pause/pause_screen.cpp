#include "pause/pause_screen.h"

#include <algorithm>

#include "app/display.h"
#include "gfx/overlay_renderer.h"
#include "ui/overlay_text.h"

namespace fenwhit {

namespace {

constexpr float kTitleScale = 3.0f;
constexpr float kKeysScale = 0.75f;
constexpr int32_t kDimming = 170;

}  // namespace

void PauseScreen::Show() {
  frames_.DrawLastFrame();
  const int32_t width = screenMode.width;
  const int32_t height = screenMode.height;
  UseWindowPixels();
  DarkenRect(0, 0, width, height, kDimming);
  const int32_t centre = width / 2;
  const int32_t top = height / 2 - 150;
  // A longer title ("PAUSED BY ANNA") is made smaller to stay inside the window.
  const int32_t titleWidth = std::max(TextWidth(title_, kTitleScale), 1);
  const float titleScale = std::min(
      kTitleScale, kTitleScale * static_cast<float>(width) * 0.9f / static_cast<float>(titleWidth));
  DrawCentredNeonText(centre, top, title_, titleScale, kNeonPink);
  DrawCentredNeonText(centre, top + 230, "P, PAUSE OR START  GO ON", kKeysScale, kNeonCyan);
  DrawCentredNeonText(centre, top + 290, "ESC  LEAVE THE GAME", kKeysScale, kNeonCyan);
  if (alsoDraw_) alsoDraw_();
  frames_.PresentOwnFrame();
}

}  // namespace fenwhit
