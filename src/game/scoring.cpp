#include "game/scoring.h"

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "audio/sound_ids.h"
#include "game/game_state.h"

namespace fenwhit {

namespace {

constexpr int32_t kBonusThresholds[kBonusLifeCount] = {150000, 300000, 450000,
                                                       600000, 800000, 1000000};
constexpr int32_t kFarWall = 12000;

// The walls fly apart, the view shrinks away and the backdrop flashes red.
void beginEnding() {
  GameState& g = game;
  g.gameOver = 1;
  StopBeatTrack();
  g.wallTopTarget = -kFarWall;
  g.wallBottomTarget = kFarWall;
  g.wallLeftTarget = -kFarWall;
  g.wallRightTarget = kFarWall;
  g.wallStep = 14;
  g.zoomTarget = 0.05;
  g.zoomStep = 0.001;
  g.lastScore = g.score;
  // The explosion must never be held back by the throttle.
  SetSoundThrottle(-1);
  PlaySoundThrottled(sound::kExplosion);
  g.bgColour[0] = 255;
  g.bgColour[1] = 0;
  g.bgColour[2] = 0;
}

}  // namespace

void addScore(int32_t points) {
  game.score =
      static_cast<int32_t>(static_cast<uint32_t>(game.score) + static_cast<uint32_t>(points));
}

void updateScore(int32_t normalBallCount, int32_t ghostsInArena) {
  if (game.gameOver != 0) return;
  game.scoreGain = (normalBallCount + 1) * 6 + 1 + 3 * ghostsInArena;
  addScore(game.scoreGain);
}

void awardBonusLives() {
  for (int i = 0; i < kBonusLifeCount; ++i) {
    if (game.bonusLifeGiven[i] == 0 && game.score > kBonusThresholds[i]) {
      game.bonusLifeGiven[i] = 1;
      game.lives += 1;
    }
  }
}

void checkGameOver(int32_t normalBallCount) {
  // Losing the last normal ball ends the game whatever lives are left.
  if (normalBallCount == 0 && game.gameOver == 0) game.lives = -1;
  if (game.lives < 0 && game.gameOver == 0) beginEnding();
}

void gameOverStep() {
  game.tiltTarget += 1;
  game.tiltAngle += 1;
  game.gameOverFrames += 1;
}

}  // namespace fenwhit
