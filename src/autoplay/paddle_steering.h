#pragma once
// Where a paddle should go: under the normal ball that reaches the paddle line first, and
// clear of chaos balls, which cost a life when the paddle touches them.
#include <span>

#include "game/balls.h"
#include "game/game_state.h"

namespace fenwhit {

enum class Steer { kStay, kUp, kDown };

// Reads the game after this frame's ball move; the answer is the key to hold for the
// paddle step that follows it. Up is towards smaller y. paddle: which of paddleY to steer
// (0 in a one-paddle game). pendingSteps: steps already decided that the paddle has not
// made yet (up negative), where keys take effect some frames late.
Steer SteerPaddle(const GameState& state, std::span<const Ball> ballPool, int paddle = 0,
                  int pendingSteps = 0);

}  // namespace fenwhit
