#pragma once
// What the menu says about the player's music, line by line, in the font's letters.
#include <string>
#include <vector>

#include "songs/chosen_songs.h"
#include "ui/menu_letters.h"

namespace fenwhit {

// showTrouble: whether the last thing gone wrong is recent enough to show.
std::vector<std::string> MusicChoiceLines(const ChosenSongsView& view, bool showTrouble);

}  // namespace fenwhit
