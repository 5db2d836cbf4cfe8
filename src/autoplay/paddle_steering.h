#pragma once
// Where the one paddle should go: under the normal ball that reaches the paddle line
// first, and clear of chaos balls, which cost a life when the paddle touches them.
#include <span>

#include "game/balls.h"
#include "game/game_state.h"

namespace fenwhit {

enum class Steer { kStay, kUp, kDown };

// Reads a one-paddle game after this frame's ball move; the answer is the key to hold
// for the paddle step that follows it. Up is towards smaller y.
Steer SteerPaddle(const GameState& state, std::span<const Ball> ballPool);

}  // namespace fenwhit
