#include "game/frame_loop.h"

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "events/effect_pools.h"
#include "events/event_cycle.h"
#include "game/arena.h"
#include "game/backdrop.h"
#include "game/balls.h"
#include "game/frame_input.h"
#include "game/frame_wait.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/scoring.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "gfx/sprites.h"
#include "platform/exit.h"
#include "platform/platform.h"
#include "ui/hud.h"

namespace fenwhit {

namespace {

constexpr double kFramePeriod = 0.0166;
constexpr double kSlowFramePeriod = 0.0866;
constexpr int32_t kEndingLength = 400;
constexpr auto kRelaxed = std::memory_order_relaxed;

// The backdrop follows the number of events so far: flat and grey for the first
// events, waving from the ninth, tinted from the fourteenth, wild at the 28th.
void progressBackground() {
  GameState& g = game;
  if (g.eventCount == 28) {
    g.waveAmplitude = 320;
    g.waveAmplitudeTarget = 420;
  }
  if (g.eventCount < 9) g.waveAmplitude = g.waveAmplitudeTarget = 0;
  if (g.eventCount < 14) {
    for (int k = 0; k < 3; ++k) g.bgColour[k] = g.bgColourTarget[k] = 128;
  }
}

void lowerBeatFlash() {
  const int32_t flash = beatFlash.load(kRelaxed);
  beatFlash.store(flash > 15 ? flash - 15 : 0, kRelaxed);
}

// Taken with the input, once a frame: the events and everything drawn see one count.
void takeBeats() {
  const int32_t beats = TakeBeats();
  if (beats <= 0) return;
  beatCount.fetch_add(beats, kRelaxed);
  beatFlash.store(255, kRelaxed);
}

void eventsAndMusic() {
  cycleTitleColour();
  drawBlackHole();
  drawEventTitles();
  if (game.gameOver == 1) {
    FadeGameMusicDown();
    FadeTitleMusicUp();
  }
  if (beatCount.load(kRelaxed) > 15 && game.gameOver == 0) RaiseGameMusic();
}

// The menu picture fades out over the first frames of a game.
void fadeInGame() {
  if (game.fadeLevel > 0) game.fadeLevel -= 3;
  if (game.fadeLevel < 0) game.fadeLevel = 0;
  SetBlendAdditive();
  SetColor(game.fadeLevel, game.fadeLevel, game.fadeLevel, 255);
  DrawSprite(0, 0, pictures.menu, 0.0f, 1.0f);
}

FrameWait frameWait;

void waitForFrameEnd(Platform& platform, double frameStart) {
  frameWait.Wait(platform, frameStart, game.slowFrames == 1 ? kSlowFramePeriod : kFramePeriod);
}

}  // namespace

bool runFrame() {
  Platform& platform = ThePlatform();
  const double frameStart = platform.Clock();
  progressBackground();
  const int32_t mouseButtons = platform.ReadMouse().buttons;
  if (game.gameOver == 0) {
    FadeTitleMusicDown();
    FadeGameMusicUp();
  }
  lowerBeatFlash();
  clampPaddles();
  if (game.ballsFrozen == 0) updateBalls();
  drawBackdrop();
  drawArena();
  updatePools();
  drawBalls();
  approachTargets();
  const BallCounts counts = countBalls();
  game.normalBallCount = counts.normalBallCount;
  game.ghostsInArena = counts.ghostsInArena;
  checkGameOver(counts.normalBallCount);
  if (game.gameOver == 1) gameOverStep();
  eventsAndMusic();
  if (game.gameOverFrames > kEndingLength) {
    leaveGame();
    return false;
  }
  cancelEvent(mouseButtons);
  if (game.gameOver == 0) {
    updateScore(counts.normalBallCount, counts.ghostsInArena);
    drawHud();
  }
  awardBonusLives();
  fadeInGame();
  SetColor(255, 255, 255, 255);
  PresentFrame();
  ClearFrame();
  waitForFrameEnd(platform, frameStart);
  platform.PumpEvents();
  takeBeats();
  setViewTransform();
  advanceSpin();
  LowerSoundThrottle();
  readEscape();
  readPaddleInput(mouseButtons);
  updateEventCycle();
  if (platform.TakeWindowEvent() == WindowEvent::kClose) ExitProgram(0);
  return true;
}

void runFrameLoop() {
  while (runFrame()) {
  }
}

}  // namespace fenwhit
