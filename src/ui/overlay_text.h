#pragma once
// Text and panels that the pause screen, the volume bar and the best-scores tables draw on
// top of a screen, in the game's font and its neon look.
#include <cstdint>
#include <string_view>

namespace fenwhit {

struct Rgb {
  int32_t r;
  int32_t g;
  int32_t b;
};

inline constexpr Rgb kNeonPink{255, 90, 210};
inline constexpr Rgb kNeonCyan{90, 230, 255};
inline constexpr Rgb kNeonWhite{235, 245, 255};
inline constexpr Rgb kNeonDim{90, 100, 130};

// The picture the menu and the playfield are drawn at, before the screen mode places it.
inline constexpr int32_t kPictureWidth = 1280;
inline constexpr int32_t kPictureHeight = 720;

// Draws from here on in window pixels, the picture's top left at (0, 0).
void UseWindowPixels();
// Darkens the whole window by alpha (0 to 255), then draws from here on upright and unzoomed,
// whatever the menu's backdrop does, the picture in the middle of the window: for a screen
// over the menu.
void DimWindowAndCentrePicture(int32_t alpha);
// Draws from here on as the menu and the playfield do: the 1280 x 720 picture placed in the
// window by the screen mode's offset, turned and zoomed as the menu is.
void UseMenuLayout();
int32_t TextWidth(std::string_view text, float scale);
// The text with a soft glow around it; brightness 0 to 255 fades it.
void DrawNeonText(int32_t x, int32_t y, std::string_view text, float scale, Rgb colour,
                  int32_t brightness = 255);
void DrawCentredNeonText(int32_t centreX, int32_t y, std::string_view text, float scale, Rgb colour,
                         int32_t brightness = 255);
// Darkens a rectangle: alpha 0 leaves it, 255 makes it black.
void DarkenRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t alpha);

}  // namespace fenwhit
