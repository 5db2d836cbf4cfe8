#include "game/frame_input.h"

#include "audio/sound_bank.h"
#include "audio/sound_ids.h"
#include "events/effect_pools.h"
#include "game/game_state.h"
#include "platform/platform.h"

namespace fenwhit {

namespace {

constexpr int32_t kLeftButtonAlone = 1;
constexpr int32_t kRightButtonAlone = 2;
constexpr int32_t kShotRepeat = 6;

bool held(int scanCode) {
  return ThePlatform().KeyHeld(scanCode);
}

// Any number of held keys moves a paddle at most one step each way per frame.
template <int N>
void movePaddle(int32_t& paddleY, const int (&upKeys)[N], const int (&downKeys)[N]) {
  bool upHeld = false;
  bool downHeld = false;
  for (int key : upKeys) {
    if (held(key) && !upHeld) {
      paddleY -= game.paddleSpeed;
      upHeld = true;
    }
  }
  for (int key : downKeys) {
    if (held(key) && !downHeld) {
      paddleY += game.paddleSpeed;
      downHeld = true;
    }
  }
}

// A shot from each end of the paddle, when the shared cooldown allows.
void fire(int32_t paddleY) {
  if (game.shotCooldown >= 0) return;
  game.shotCooldown = kShotRepeat;
  const int32_t top = paddleY;
  const int32_t bottom = paddleY + game.paddleLength;
  spawnShot(game.wallLeft, top);
  spawnShot(game.wallLeft, bottom);
  PlaySoundThrottled(sound::kShot);
  spawnSparks(game.wallLeft, top, 3);
  spawnSparks(game.wallLeft, bottom, 3);
}

}  // namespace

void cancelEvent(int32_t mouseButtons) {
  const bool cancelHeld = held(scan::kSpace) || mouseButtons == kLeftButtonAlone;
  if (!cancelHeld) game.cancelLatch = 0;
  if (cancelHeld && game.cancels > 0 && game.cancelLatch == 0 && game.gameOver == 0) {
    game.cancelLatch = 1;
    game.eventNumber = -1;
    PlayAnnouncement(sound::kNoWay);
    game.eventTitle = "      NO WAY!";
    game.cancels -= 1;
  }
}

void readEscape() {
  if (held(scan::kEsc) && game.gameOver == 0) {
    game.gameOverFrames = 300;
    game.lives = -1;
    game.cancels = -1;
  }
}

void readPaddleInput(int32_t mouseButtons) {
  if (game.twoPaddles == 0) {
    movePaddle(game.paddleY[0], {scan::kUp, scan::kK, scan::kW}, {scan::kDown, scan::kM, scan::kS});
    game.shotCooldown -= 1;
    if (held(scan::kZ) || mouseButtons == kRightButtonAlone) fire(game.paddleY[0]);
    return;
  }
  movePaddle(game.paddleY[0], {scan::kW}, {scan::kS});
  movePaddle(game.paddleY[1], {scan::kUp}, {scan::kDown});
  game.shotCooldown -= 1;
  if (held(scan::kA)) fire(game.paddleY[0]);
  if (held(scan::kLeft)) fire(game.paddleY[1]);
}

}  // namespace fenwhit
