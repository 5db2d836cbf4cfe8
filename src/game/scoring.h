#pragma once
// Score, bonus lives and the ending, judged once per frame after the balls are counted.
#include <cstdint>

namespace fenwhit {

// Adds points; an endless game wraps the score round like the 32-bit counter it is.
void addScore(int32_t points);
// Only while the game is not over.
void updateScore(int32_t normalBallCount, int32_t ghostsInArena);
void awardBonusLives();
// Starts the ending when no normal ball is left or the lives have run out.
void checkGameOver(int32_t normalBallCount);
// One frame of the ending: the arena keeps turning and the frames are counted.
void gameOverStep();

}  // namespace fenwhit
