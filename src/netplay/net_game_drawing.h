#pragma once
// What a network game shows of its own: the held game's notice over its last picture, and
// the word a game ended with over the menu, both in the menu's font.
#include <string>

namespace fenwhit {

class OverlayRenderer;

// Draws and presents the last picture again, dimmed, with the notice ("WAITING FOR ANNA").
void ShowHeldGame(OverlayRenderer& frames, const std::string& notice);
// An overlay for the menu: the word, when there is one.
void DrawNetWord(const std::string& word);

}  // namespace fenwhit
