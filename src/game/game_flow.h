#pragma once
// The life of one game: reset on every menu entry, start from a menu item, leave
// after the ending.
#include <cstdint>

namespace fenwhit {

// Gives every field its value for a new game (not paddleY, shotCooldown, lastScore,
// fadeLevel, ballLast, the title colour, nor the zoom saved by an event and its return
// at the next application).
void resetGameState();
// twoPaddles: 0 for the one-paddle item, 1 for the two-paddle item. The beat count
// starts from 0, as the new beat thread's does.
void startGame(int32_t twoPaddles);
// Stops the beat and the game music and empties every pool.
void leaveGame();

}  // namespace fenwhit
