#pragma once
// A game in play for benchmarks and drawing tests, whose balls never leave: the paddle
// covers the whole goal. Sound goes nowhere and the clock is virtual.
#include <cstdint>

#include "audio/silent_sound_device.h"
#include "audio/sound_device.h"
#include "events/effect_pools.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/random.h"
#include "platform/platform.h"
#include "platform/test_platform.h"

namespace fenwhit {

inline void StartGameInPlay(uint64_t seed) {
  static SilentSoundDevice silence;
  static TestPlatform platform;
  SetSoundDevice(&silence);
  SetPlatform(&platform);
  seedRandom(seed);
  game = GameState{};
  setUpGameAtStartUp();
  resetGameState();
  clearPools();
  game.ballSpeed = 7.0f;
  game.paddleLength = game.paddleLengthTarget = 700;
  game.paddleY[0] = 10;
  game.twoPaddles = 0;
  game.waveAmplitude = game.waveAmplitudeTarget = 40;
}

}  // namespace fenwhit
