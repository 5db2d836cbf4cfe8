#include "netplay/net_screen_drawing.h"

#include "gfx/overlay_renderer.h"
#include "netplay/net_screen_platform.h"
#include "ui/menu_letters.h"
#include "ui/overlay_text.h"

namespace fenwhit {

namespace {

constexpr int32_t kDimming = 235;
constexpr int32_t kItemsLeft = 300;
constexpr int32_t kFirstItemY = 220;
constexpr int32_t kItemSpacing = 70;
constexpr float kItemScale = 0.75f;
constexpr int32_t kFirstLineY = 420;
constexpr int32_t kLineHeight = 40;
constexpr float kLineScale = 0.5f;
constexpr size_t kLineLetters = 64;
constexpr int32_t kLastLineY = 600;

void DrawItems(const NetScreenView& view) {
  for (int i = 0; i < static_cast<int>(view.items.size()); ++i) {
    const int32_t y = kFirstItemY + kItemSpacing * i;
    const bool chosen = i == view.selected;
    // While the network works the choices stand back.
    const Rgb colour = chosen ? kNeonPink : view.selected < 0 ? kNeonDim : kNeonWhite;
    if (chosen) DrawNeonText(kItemsLeft - TextWidth("> ", kItemScale), y, ">", kItemScale, colour);
    DrawNeonText(kItemsLeft, y, view.items[i], kItemScale, colour);
  }
}

void DrawLines(const NetScreenView& view) {
  int32_t y = kFirstLineY;
  for (const std::string& line : view.lines) {
    for (const std::string& piece : WrapMenuLine(line, kLineLetters, 3)) {
      if (y > kLastLineY) return;
      DrawCentredNeonText(kPictureWidth / 2, y, piece, kLineScale,
                          view.trouble ? kNeonPink : kNeonCyan);
      y += kLineHeight;
    }
  }
}

}  // namespace

void NetScreenDrawing::Show(const NetScreenView& view) {
  frames_.DrawLastFrame();
  DimWindowAndCentrePicture(kDimming);
  DrawCentredNeonText(kPictureWidth / 2, 80, "NETWORK GAME", 1.5f, kNeonPink);
  DrawItems(view);
  DrawLines(view);
  DrawCentredNeonText(kPictureWidth / 2, 660, view.hint, 0.46f, kNeonDim);
  if (alsoDraw_) alsoDraw_();
  frames_.PresentOwnFrame();
}

}  // namespace fenwhit
