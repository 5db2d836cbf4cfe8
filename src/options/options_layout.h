#pragma once
// Where the options screen and the menu's options key stand, shared by the drawing and by
// the mouse that points at them.
#include <cstdint>
#include <string_view>

#include "platform/letterbox.h"
#include "platform/platform.h"

namespace fenwhit::options_layout {

// The screen, in the 1280 x 720 picture centred in the window.
inline constexpr int32_t kTitleY = 70;
inline constexpr int32_t kFirstRowY = 180;
inline constexpr int32_t kRowSpacing = 62;
inline constexpr int32_t kRowLeft = 180;
inline constexpr int32_t kLabelX = 230;
// A value stands between Left's and Right's marks.
inline constexpr int32_t kValueLeft = 580;
inline constexpr int32_t kValueCentreX = 830;
inline constexpr int32_t kValueRight = 1080;
// A row's letters stand from its y to about 48 pixels below.
inline constexpr int32_t kRowTop = -7;
inline constexpr int32_t kNoteY = 626;
inline constexpr int32_t kHintY = 672;

// The menu's foot, in the menu's picture: the key that opens the screen follows the keys the
// picture names there, in its letters: 9 pixels apart, capitals 16 high from y 664, the last
// of them ending at x 852.
inline constexpr std::string_view kFootText = "O  OPTIONS";
inline constexpr int32_t kFootLetterAdvance = 9;
inline constexpr int32_t kFootLeft = 897;
inline constexpr int32_t kFootCapTop = 664;
inline constexpr int32_t kFootCapHeight = 16;

constexpr int32_t RowY(int row) {
  return kFirstRowY + kRowSpacing * row;
}

// The row under a point of the screen's picture, or -1.
constexpr int RowAt(int32_t x, int32_t y, int rows) {
  if (x < kRowLeft || x >= kValueRight) return -1;
  const int32_t fromTop = y - (kFirstRowY + kRowTop);
  if (fromTop < 0) return -1;
  const int row = fromTop / kRowSpacing;
  return row < rows ? row : -1;
}

struct PicturePoint {
  int32_t x = 0;
  int32_t y = 0;
};

// The mouse in the screen mode's picture (width x height) as the window shows it,
// letterboxed into the drawable (a drawable of {0, 0}: the picture's own size).
PicturePoint MouseInPicture(const MouseState& mouse, PixelSize drawable, int32_t width,
                            int32_t height);

}  // namespace fenwhit::options_layout
