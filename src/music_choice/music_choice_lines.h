#pragma once
// What the menu says about the player's music, line by line, in the font's letters.
#include <string>
#include <vector>

#include "songs/chosen_songs.h"

namespace fenwhit {

// showTrouble: whether the last thing gone wrong is recent enough to show.
std::vector<std::string> MusicChoiceLines(const ChosenSongsView& view, bool showTrouble);

// A line broken at its spaces into pieces of at most `width` letters (a word longer than
// that is cut), at most maxPieces of them.
std::vector<std::string> WrapMenuLine(const std::string& line, size_t width, size_t maxPieces);

}  // namespace fenwhit
