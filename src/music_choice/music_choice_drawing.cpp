#include "music_choice/music_choice_drawing.h"

#include "music_choice/music_choice_lines.h"
#include "music_choice/music_choice_platform.h"
#include "ui/overlay_text.h"

namespace fenwhit {

namespace {

// The empty column right of the menu items, clear of the best score above it.
constexpr int32_t kLeft = 840;
constexpr int32_t kTop = 250;
constexpr float kScale = 0.42f;
constexpr int32_t kLineHeight = 30;
constexpr size_t kColumnLetters = 28;
constexpr int32_t kLastLineY = 560;

}  // namespace

void DrawMusicChoice(const MusicChoicePlatform& choice) {
  const std::vector<std::string>& lines = choice.MenuLines();
  if (lines.empty()) return;
  UseMenuLayout();
  int32_t y = kTop;
  for (size_t i = 0; i < lines.size(); ++i) {
    // The key's hint, last, is quieter than the news above it.
    const bool hint = i + 1 == lines.size();
    if (hint) y += kLineHeight / 2;
    for (const std::string& piece : WrapMenuLine(lines[i], kColumnLetters, 3)) {
      if (y > kLastLineY) return;
      DrawNeonText(kLeft, y, piece, kScale, hint ? kNeonDim : kNeonWhite);
      y += kLineHeight;
    }
  }
}

}  // namespace fenwhit
