#pragma once
// Where a paddle should go: under the normal ball that reaches the paddle line first, and
// clear of chaos balls, which cost a life when the paddle touches them.
#include <span>

#include "game/balls.h"
#include "game/game_state.h"

namespace fenwhit {

enum class Steer { kStay, kUp, kDown };

// The paddle a one-paddle game has.
inline constexpr int kOnePaddleGame = -1;

struct SteerFor {
  int paddle = kOnePaddleGame;  // or 0 (left), 1 (right) of a two-paddle game
  // Steps already decided that the paddle has not made yet (up negative), where keys take
  // effect some frames late.
  int pendingSteps = 0;
  // Away from where the ball crosses, to the far end: a test's game soon ends.
  bool miss = false;
};

// Reads the game after this frame's ball move; the answer is the key to hold for the
// paddle step that follows it. Up is towards smaller y.
Steer SteerPaddle(const GameState& state, std::span<const Ball> ballPool, const SteerFor& how = {});

}  // namespace fenwhit
