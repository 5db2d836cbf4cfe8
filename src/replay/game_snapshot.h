#pragma once
// The rules' state (the game record, the ball pool and every effect pool) as bytes, so that a
// recorded game can start again from exactly where it started, and its checksum, so that a
// replay can tell the moment it comes out otherwise. The random generator is not part of it:
// the recorder reseeds it at the game's start.
#include <cstdint>
#include <span>
#include <vector>

#include "game/game_state.h"

namespace fenwhit {

// Value by value, the same bytes on every run and build of the same version: no padding, no
// pointers; the string views are stored as their texts.
std::vector<uint8_t> SaveGameState();

// Puts saved state back. False, changing nothing, when the bytes are not a whole saved state
// of this version (wrong size or layout, a text the game never points at, a pool index out
// of range). The restored string views point at the game's own static texts.
bool RestoreGameState(std::span<const uint8_t> bytes);

// A hash of exactly the bytes SaveGameState would return, taken in place: it runs during
// play and allocates nothing.
uint64_t GameChecksum();

// The static texts a string view of the game record may point at.
enum class GameText { kNone, kEventTitle, kMusicFile, kBeatFile };

// Every field of the game record, in declaration order, for save, restore and checksum
// alike. A field added to GameState must be added here too: the size assert in
// game_snapshot.cpp fires when GameState changes size, and the snapshot test finds any
// field missing from the list.
template <typename State, typename Visit>
constexpr void forEachGameField(State& g, Visit&& visit) {
  visit("wallTop", g.wallTop);
  visit("wallBottom", g.wallBottom);
  visit("wallLeft", g.wallLeft);
  visit("wallRight", g.wallRight);
  visit("wallTopTarget", g.wallTopTarget);
  visit("wallBottomTarget", g.wallBottomTarget);
  visit("wallLeftTarget", g.wallLeftTarget);
  visit("wallRightTarget", g.wallRightTarget);
  visit("wallStep", g.wallStep);

  visit("tiltAngle", g.tiltAngle);
  visit("tiltTarget", g.tiltTarget);
  visit("tiltStep", g.tiltStep);
  visit("spinAngle", g.spinAngle);
  visit("spinSpeed", g.spinSpeed);
  visit("zoom", g.zoom);
  visit("zoomTarget", g.zoomTarget);
  visit("zoomStep", g.zoomStep);
  visit("zoomShrink", g.zoomShrink);
  visit("squeezeX", g.squeezeX);
  visit("squeezeXTarget", g.squeezeXTarget);
  visit("squeezeY", g.squeezeY);
  visit("squeezeYTarget", g.squeezeYTarget);
  visit("viewJitter", g.viewJitter);
  visit("glowScale", g.glowScale);

  visit("paddleY", g.paddleY);
  visit("paddleLength", g.paddleLength);
  visit("paddleLengthTarget", g.paddleLengthTarget);
  visit("paddleSpeed", g.paddleSpeed);
  visit("twoPaddles", g.twoPaddles);
  visit("shotCooldown", g.shotCooldown);

  visit("ballLast", g.ballLast);
  visit("ballSpeed", g.ballSpeed);
  visit("ballScaleAdd", g.ballScaleAdd);
  visit("ballSkin", g.ballSkin);
  visit("ballsFrozen", g.ballsFrozen);

  visit("score", g.score);
  visit("scoreGain", g.scoreGain);
  visit("lives", g.lives);
  visit("cancels", g.cancels);
  visit("cancelLatch", g.cancelLatch);
  visit("bonusLifeGiven", g.bonusLifeGiven);
  visit("gameOver", g.gameOver);
  visit("gameOverFrames", g.gameOverFrames);
  visit("lastScore", g.lastScore);
  visit("normalBallCount", g.normalBallCount);
  visit("ghostsInArena", g.ghostsInArena);

  visit("slowFrames", g.slowFrames);
  visit("waveAmplitude", g.waveAmplitude);
  visit("waveAmplitudeTarget", g.waveAmplitudeTarget);
  visit("bgColour", g.bgColour);
  visit("bgColourTarget", g.bgColourTarget);
  visit("flashColours", g.flashColours);
  visit("fadeLevel", g.fadeLevel);
  visit("wavePhase", g.wavePhase);
  visit("wavePeriod", g.wavePeriod);

  visit("eventNumber", g.eventNumber);
  visit("eventCount", g.eventCount);
  visit("eventTitle", g.eventTitle, GameText::kEventTitle);
  visit("doubleEvent", g.doubleEvent);
  visit("announced", g.announced);
  visit("andSoundPlayed", g.andSoundPlayed);
  visit("secondChosen", g.secondChosen);
  visit("hudJitter", g.hudJitter);
  visit("titleColour", g.titleColour);
  visit("titleColourFalling", g.titleColourFalling);

  visit("blackHoleOn", g.blackHoleOn);
  visit("blackHoleX", g.blackHoleX);
  visit("blackHoleY", g.blackHoleY);
  visit("blackHoleAngle", g.blackHoleAngle);
  visit("extraWallBuilt", g.extraWallBuilt);
  visit("corridorCount", g.corridorCount);
  visit("zoomZoomActive", g.zoomZoomActive);
  visit("savedZoom", g.savedZoom);

  visit("musicFileName", g.musicFileName, GameText::kMusicFile);
  visit("beatFileName", g.beatFileName, GameText::kBeatFile);
}

}  // namespace fenwhit
