#include "music_choice/music_choice_lines.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "music_choice/menu_letters.h"

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

std::vector<std::string> WrapMenuLine(const std::string& line, size_t width, size_t maxPieces) {
  std::vector<std::string> pieces;
  if (width == 0) return pieces;
  std::string_view rest = line;
  while (!rest.empty() && pieces.size() < maxPieces) {
    if (rest.size() <= width) {
      pieces.emplace_back(rest);
      break;
    }
    const std::string_view room = rest.substr(0, width + 1);
    size_t cut = room.find_last_of(' ');
    // "TITLE - ARTIST" breaks before its dash rather than after.
    if (cut != std::string_view::npos && cut >= 2 && room.substr(cut - 2, 2) == " -") cut -= 2;
    if (cut == std::string_view::npos || cut == 0) cut = width;
    pieces.emplace_back(rest.substr(0, cut));
    rest.remove_prefix(cut);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  }
  return pieces;
}

}  // namespace fenwhit
