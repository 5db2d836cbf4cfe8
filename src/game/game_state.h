#pragma once
// The one record of the running game. Every screen reads and changes it by field
// name; resetGameState and startGame give every field its value for a new game.
#include <cstdint>
#include <string_view>

#include "game/same_arithmetic.h"

namespace fenwhit {

inline constexpr int kBonusLifeCount = 6;

struct GameState {
  // Arena: the current wall lines, the lines they move towards and the step per frame.
  int32_t wallTop = 10;
  int32_t wallBottom = 710;
  int32_t wallLeft = 110;
  int32_t wallRight = 1170;
  int32_t wallTopTarget = 10;
  int32_t wallBottomTarget = 710;
  int32_t wallLeftTarget = 110;
  int32_t wallRightTarget = 1170;
  int32_t wallStep = 2;

  // View: rotation, continuous spin, zoom and squeeze of the whole scene.
  float tiltAngle = 0;
  float tiltTarget = 0;
  float tiltStep = 1.0f;
  float spinAngle = 0;
  float spinSpeed = 0;
  double zoom = 1.0;
  double zoomTarget = 1.0;
  double zoomStep = 0.003;
  double zoomShrink = 0.0;
  double squeezeX = 0.0;
  double squeezeXTarget = 0.0;
  double squeezeY = 0.0;
  double squeezeYTarget = 0.0;
  int32_t viewJitter = 0;
  double glowScale = 1.0;

  // Paddles. paddleY and shotCooldown carry over from one game to the next.
  int32_t paddleY[2] = {0, 0};
  int32_t paddleLength = 160;
  int32_t paddleLengthTarget = 160;
  int32_t paddleSpeed = 18;
  int32_t twoPaddles = 1;
  int32_t shotCooldown = 0;

  // Balls.
  int32_t ballLast = 1600;
  float ballSpeed = 2.0f;
  float ballScaleAdd = 0.0f;
  int32_t ballSkin = 0;
  int32_t ballsFrozen = 0;

  // Score, lives and the ending.
  int32_t score = 0;
  int32_t scoreGain = 0;
  int32_t lives = 2;
  int32_t cancels = 2;
  int32_t cancelLatch = 0;
  int32_t bonusLifeGiven[kBonusLifeCount] = {};
  int32_t gameOver = 0;
  int32_t gameOverFrames = 0;
  int32_t lastScore = 0;
  // This frame's counts of the ball pool, taken after the balls have moved.
  int32_t normalBallCount = 0;
  int32_t ghostsInArena = 0;

  // Frame pacing and the backdrop.
  int32_t slowFrames = 0;
  float waveAmplitude = 20.0f;
  float waveAmplitudeTarget = 20.0f;
  int32_t bgColour[3] = {128, 128, 128};
  int32_t bgColourTarget[3] = {128, 128, 128};
  int32_t flashColours = 0;
  int32_t fadeLevel = 0;
  // Phases (radians) run on from the program's start; the periods are drawn anew.
  float wavePhase[4] = {};
  float wavePeriod[8] = {40, 40, 40, 40, 10, 10, 10, 10};

  // Event scheduling. beatCount and beatFlash are shared with the beat thread and
  // live beside the music.
  int32_t eventNumber = 0;
  int32_t eventCount = 0;
  std::string_view eventTitle;
  int32_t doubleEvent = 0;
  int32_t announced = 0;
  int32_t andSoundPlayed = 0;
  int32_t secondChosen = 0;
  int32_t hudJitter[4] = {};
  // The title text cycles through colours for the whole run of the program.
  int32_t titleColour[3] = {};
  int32_t titleColourFalling[3] = {};

  // Lasting modes set by the events.
  int32_t blackHoleOn = 0;
  int32_t blackHoleX = 0;
  int32_t blackHoleY = 0;
  float blackHoleAngle[2] = {};
  int32_t extraWallBuilt = 0;
  int32_t corridorCount = 0;
  int32_t zoomZoomActive = 0;
  double savedZoom = 0.0;

  // Streams of the running game, opened from the data directory.
  std::string_view musicFileName;
  std::string_view beatFileName;
};

// The running game.
extern GameState game;

// Program start: pool limits and the values that only the program start sets.
void setUpGameAtStartUp();

}  // namespace fenwhit
