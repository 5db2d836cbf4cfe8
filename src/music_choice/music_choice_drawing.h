#pragma once
// The menu's lines about the player's music, drawn over a menu frame below the menu
// items' column, in the menu's own letters.
namespace fenwhit {

class MusicChoicePlatform;

void DrawMusicChoice(const MusicChoicePlatform& choice);

}  // namespace fenwhit
