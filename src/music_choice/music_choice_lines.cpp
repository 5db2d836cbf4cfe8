#include "music_choice/music_choice_lines.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "ui/menu_letters.h"

namespace fenwhit {

namespace {

// The longest line that fits the menu's width at the size it is drawn.
constexpr size_t kMaxLetters = 56;

std::string Upper(std::string text) {
  return MenuLetters(text, kMaxLetters);
}

}  // namespace

std::vector<std::string> MusicChoiceLines(const ChosenSongsView& view, bool showTrouble) {
  std::vector<std::string> lines;
  if (view.listening) {
    const int percent = static_cast<int>(std::floor(std::clamp(*view.listening, 0.0, 1.0) * 100));
    lines.push_back("LISTENING " + std::to_string(percent) + " %");
    lines.emplace_back("ESC GIVES UP");
  } else if (view.next) {
    std::string song = view.next->title;
    if (!view.next->artist.empty()) song += " - " + view.next->artist;
    lines.push_back(MenuLetters("NEXT: " + song, kMaxLetters));
    if (view.next->beats.steady) lines.emplace_back("NO BEAT FOUND: A STEADY BEAT");
  }
  if (showTrouble && view.troubleSerial > 0) {
    lines.push_back(Upper("CAN'T PLAY " + view.troubleName + ": " + view.troubleWhy));
  }
  if (!view.chosen) {
    lines.emplace_back("DROP SONGS HERE TO PLAY TO THEM");
  } else {
    lines.emplace_back(view.ownMusic ? "TAB: YOUR MUSIC" : "TAB: THE GAME'S MUSIC");
  }
  return lines;
}

}  // namespace fenwhit
