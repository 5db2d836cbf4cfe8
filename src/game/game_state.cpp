#include "game/game_state.h"

#include "game/balls.h"

namespace fenwhit {

GameState game;

void setUpGameAtStartUp() {
  game.ballLast = 1600;
  game.lastScore = 0;
  game.paddleY[0] = 0;
  game.paddleY[1] = 0;
  clearBalls();
}

}  // namespace fenwhit
