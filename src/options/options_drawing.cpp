#include "options/options_drawing.h"

#include <algorithm>

#include "game/game_state.h"
#include "gfx/overlay_renderer.h"
#include "options/options_layout.h"
#include "options/options_platform.h"
#include "settings/volume_bar.h"
#include "ui/overlay_text.h"

namespace fenwhit {

namespace {

namespace layout = options_layout;

// Darker than the net screen: the menu's bright items stand where the values are.
constexpr int32_t kDimming = 248;
constexpr float kTitleScale = 1.5f;
constexpr float kRowScale = 0.75f;
constexpr float kNoteScale = 0.5f;
constexpr float kHintScale = 0.46f;
// The menu picture's key line: its colour, and its capitals' size in the font's cells, whose
// letters start 8 pixels in and 14 down. A cell is drawn scaled about its middle.
constexpr Rgb kFootColour{107, 116, 142};
constexpr float kFootScale = 0.375f;
constexpr int32_t kFootCellX = layout::kFootLeft - 16 + static_cast<int32_t>(8 * kFootScale + 0.5f);
constexpr int32_t kFootCellY =
    layout::kFootCapTop - 32 + static_cast<int32_t>(18 * kFootScale + 0.5f);
// The steps of the volume sit in the middle of the row's letters.
constexpr int32_t kStepsDown = 9;

void DrawValue(const OptionsRow& row, int32_t y, bool chosen) {
  const Rgb colour = chosen ? kNeonCyan : kNeonWhite;
  if (row.bar >= 0) {
    DrawVolumeSteps(layout::kValueCentreX - kVolumeStepsWidth / 2, y + kStepsDown, row.bar,
                    chosen ? 255 : 200);
  } else if (!row.value.empty()) {
    DrawCentredNeonText(layout::kValueCentreX, y, row.value, kRowScale, colour);
  } else {
    return;
  }
  // Where Left and Right (or a click on either side) change it.
  if (chosen) {
    DrawNeonText(layout::kValueLeft, y, "<", kRowScale, kNeonPink);
    DrawNeonText(layout::kValueRight - TextWidth(">", kRowScale), y, ">", kRowScale, kNeonPink);
  }
}

void DrawRows(const OptionsView& view) {
  for (int i = 0; i < static_cast<int>(view.rows.size()); ++i) {
    const OptionsRow& row = view.rows[i];
    const int32_t y = layout::RowY(i);
    const bool chosen = i == view.selected;
    const Rgb colour = chosen ? kNeonPink : kNeonWhite;
    if (chosen) {
      DrawNeonText(layout::kLabelX - TextWidth("> ", kRowScale), y, ">", kRowScale, colour);
    }
    DrawNeonText(layout::kLabelX, y, row.label, kRowScale, colour);
    DrawValue(row, y, chosen);
  }
}

}  // namespace

void OptionsDrawing::Show(const OptionsView& view) {
  frames_.DrawLastFrame();
  DimWindowAndCentrePicture(kDimming);
  DrawCentredNeonText(kPictureWidth / 2, layout::kTitleY, "OPTIONS", kTitleScale, kNeonPink);
  DrawRows(view);
  DrawCentredNeonText(kPictureWidth / 2, layout::kNoteY, view.note, kNoteScale, kNeonCyan);
  DrawCentredNeonText(kPictureWidth / 2, layout::kHintY, view.hint, kHintScale, kNeonDim);
  frames_.PresentOwnFrame();
}

void DrawOptionsKey(const OptionsPlatform& options) {
  if (!options.MenuShowing()) return;
  UseMenuLayout();
  // The menu picture fades in; so does its foot.
  const int32_t brightness = std::clamp(game.fadeLevel, 0, 255);
  for (size_t i = 0; i < layout::kFootText.size(); ++i) {
    if (layout::kFootText[i] == ' ') continue;
    const auto x = kFootCellX + static_cast<int32_t>(i) * layout::kFootLetterAdvance;
    DrawNeonText(x, kFootCellY, layout::kFootText.substr(i, 1), kFootScale, kFootColour,
                 brightness);
  }
}

}  // namespace fenwhit
