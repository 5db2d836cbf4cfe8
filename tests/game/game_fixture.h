#pragma once
// A game world for tests: scripted platform, recording renderer and sound device, a
// fixed random seed, a fresh game state and an empty ball pool.
#include <gtest/gtest.h>

#include "audio/music.h"
#include "audio/recording_sound_device.h"
#include "audio/sound_bank.h"
#include "audio/sound_device.h"
#include "events/effect_pools.h"
#include "game/balls.h"
#include "game/frame_loop.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/random.h"
#include "gfx/recording_renderer.h"
#include "gfx/renderer.h"
#include "platform/platform.h"
#include "platform/test_platform.h"

namespace fenwhit {

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Gives sound id `id` the sample handle 1000 + id, so plays can be told apart.
  static int HandleOf(int id) { return 1000 + id; }
  // Number of times the sample of sound id `id` was started.
  int Plays(int id) const;
  // Puts a ball into slot `slot` with no spin.
  static Ball& PlaceBall(int slot, BallKind kind, float x, float y, float vx = 0, float vy = 0) {
    balls[slot] = Ball{kind, x, y, vx, vy, 0, 0};
    return balls[slot];
  }
  // Runs frames of the game until it is left or `limit` frames have run; returns the
  // number run (the frame that leaves the game included).
  int RunFrames(int limit);

  TestPlatform platform;
  RecordingRenderer renderer;
  RecordingSoundDevice audio;
};

inline void GameTest::SetUp() {
  SetPlatform(&platform);
  SetRenderer(&renderer);
  SetSoundDevice(&audio);
  ResetSoundBank();
  for (int id = 0; id < sound::kTableSize; ++id) soundTable[id].store(HandleOf(id));
  seedRandom(12345);
  game = GameState{};
  setUpGameAtStartUp();
  resetGameState();
  clearBalls();
  clearPools();
  beatCount.store(0);
  beatFlash.store(0);
  beatsCounted.store(0);
  // Tests leave games that never started a beat thread, which leaves the request set.
  beatStopRequest.store(0);
}

inline void GameTest::TearDown() {
  // A game left running would keep its beat thread.
  if (BeatThreadRunning()) RequestBeatStop();
  SetSoundDevice(nullptr);
  SetRenderer(nullptr);
  SetPlatform(nullptr);
}

inline int GameTest::Plays(int id) const {
  int count = 0;
  for (const SoundCall& call : audio.CallsOf("play")) {
    if (call.handle == HandleOf(id)) ++count;
  }
  return count;
}

inline int GameTest::RunFrames(int limit) {
  for (int frame = 1; frame <= limit; ++frame) {
    if (!runFrame()) return frame;
  }
  return limit;
}

}  // namespace fenwhit
