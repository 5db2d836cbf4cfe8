#pragma once
// What the best-scores table adds to the menu: the best score of the kind last played
// beside the last game's total, the rank a game just reached, and the two tables shown
// over the menu when it stands untouched.
namespace fenwhit {

class ScoreboardPlatform;

// Draws on top of a menu frame (nothing outside the menu); now is a reading of the
// scoreboard's inner clock.
void DrawMenuScores(const ScoreboardPlatform& scoreboard, double now);

}  // namespace fenwhit
