#include "game/game_flow.h"

#include <string>

#include "app/display.h"
#include "app/paths.h"
#include "audio/music.h"
#include "audio/sound_bank.h"
#include "events/effect_pools.h"
#include "game/balls.h"
#include "game/game_state.h"
#include "game/random.h"
#include "gfx/draw.h"
#include "platform/platform.h"

namespace fenwhit {

namespace {

void setWalls(int32_t top, int32_t bottom, int32_t left, int32_t right) {
  game.wallTop = game.wallTopTarget = top;
  game.wallBottom = game.wallBottomTarget = bottom;
  game.wallLeft = game.wallLeftTarget = left;
  game.wallRight = game.wallRightTarget = right;
}

void drawWavePeriods() {
  for (int k = 0; k < 4; ++k) game.wavePeriod[k] = static_cast<float>(40 + 170 * randomUnit());
  for (int k = 4; k < 8; ++k) game.wavePeriod[k] = static_cast<float>(10 + 70 * randomUnit());
}

}  // namespace

void resetGameState() {
  GameState& g = game;
  for (int32_t& offset : g.hudJitter) offset = 0;
  g.flashColours = 0;
  for (int32_t& given : g.bonusLifeGiven) given = 0;
  g.glowScale = 1.0;
  g.ballSkin = 0;
  g.slowFrames = 0;
  g.ballsFrozen = 0;
  g.twoPaddles = 1;
  g.squeezeX = g.squeezeXTarget = g.squeezeY = g.squeezeYTarget = 0.0;
  drawWavePeriods();
  g.gameOver = 0;
  g.gameOverFrames = 0;
  g.score = 0;
  g.ballSpeed = 2.0f;
  g.ballScaleAdd = 0.0f;
  for (int k = 0; k < 3; ++k) g.bgColour[k] = g.bgColourTarget[k] = 128;
  g.zoomShrink = 0.0;
  g.lives = 2;
  g.zoom = g.zoomTarget = 1.0;
  g.zoomStep = 0.003;
  g.tiltTarget = 0;
  g.tiltStep = 1.0f;
  g.tiltAngle = 0;
  g.paddleLength = g.paddleLengthTarget = 160;
  g.wallStep = 2;
  setWalls(10, 710, 110, 1170);
  g.cancels = 2;
  g.cancelLatch = 0;
  g.doubleEvent = 0;
  g.eventNumber = 0;
  g.eventTitle = {};
  g.announced = g.andSoundPlayed = g.secondChosen = 0;
  g.eventCount = 0;
  g.waveAmplitude = g.waveAmplitudeTarget = 20.0f;
  g.paddleSpeed = 18;
  g.spinSpeed = 0;
  g.spinAngle = 0;
  g.viewJitter = 0;
  g.extraWallBuilt = 0;
  g.corridorCount = 0;
  g.blackHoleOn = 0;
  FadeTitleMusicUp();
  FadeGameMusicDown();
}

void startGame(int32_t twoPaddles) {
  GameState& g = game;
  g.zoomTarget = 0.9;
  // Set so that the key or button that started the game does not also cancel.
  g.cancelLatch = 1;
  g.ballSpeed = 7.0f;
  g.musicFileName = "Fenwhit.ogg";
  g.beatFileName = "BPM180.ogg";
  g.twoPaddles = twoPaddles;
  JoinSoundLoader();
  // The last game's count would otherwise meet the first frame if the new beat thread
  // has not run yet, and beats its thread counted after the last frame, or the flash of
  // its last beat, would come with it. Cleared before the new thread exists, so its first
  // beat stays.
  beatCount.store(0, std::memory_order_relaxed);
  ForgetCountedBeats();
  beatFlash.store(0, std::memory_order_relaxed);
  ThePlatform().DiscardKeyPress();
  StartChosenGameMusic(DataDirectory() + std::string(g.beatFileName),
                       DataDirectory() + std::string(g.musicFileName));
  spawnBall(g.wallRight - 40, g.wallTop + 240);
  SetSceneTransform(g.spinAngle + g.tiltAngle, static_cast<float>(g.zoom), screenMode.viewOffsetX,
                    screenMode.viewOffsetY);
  if (screenMode.index == 0) g.zoomTarget = 0.7;
}

void leaveGame() {
  RequestBeatStop();
  clearBalls();
  clearPools();
  CloseGameMusic();
}

}  // namespace fenwhit
