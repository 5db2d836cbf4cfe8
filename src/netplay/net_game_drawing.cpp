#include "netplay/net_game_drawing.h"

#include <cctype>

#include "app/display.h"
#include "gfx/draw.h"
#include "gfx/overlay_renderer.h"
#include "gfx/pictures.h"
#include "gfx/text.h"
#include "ui/overlay_text.h"

namespace fenwhit {

namespace {

constexpr float kNoticeScale = 1.0f;
constexpr float kWordScale = 0.75f;
constexpr int32_t kDimming = 120;
// Beneath the menu's items, in the menu's 1280 x 720 picture.
constexpr int32_t kWordY = 650;

// The menu font's text, centred on x.
void DrawCentred(int32_t centreX, int32_t y, const std::string& text, float scale) {
  const auto width = static_cast<int32_t>(static_cast<float>(pictures.font.cellWidth) * scale *
                                          static_cast<float>(text.size()));
  DrawText(centreX - width / 2, y, text, scale, pictures.font);
}

}  // namespace

void ShowHeldGame(OverlayRenderer& frames, const std::string& notice) {
  frames.DrawLastFrame();
  UseWindowPixels();
  DarkenRect(0, 0, screenMode.width, screenMode.height, kDimming);
  SetBlendAlpha();
  SetColor(255, 255, 255, 255);
  DrawCentred(screenMode.width / 2, screenMode.height / 2 - 32, notice, kNoticeScale);
  frames.PresentOwnFrame();
}

void DrawNetWord(const std::string& word) {
  if (word.empty()) return;
  // The menu's font has capitals only.
  std::string shown = word;
  for (char& c : shown) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  UseMenuLayout();
  DarkenRect(0, kWordY - 8, kPictureWidth, 64, 160);
  SetBlendAlpha();
  SetColor(255, 255, 255, 255);
  DrawCentred(kPictureWidth / 2, kWordY, shown, kWordScale);
}

}  // namespace fenwhit
