#pragma once
// The platform the game sees when it plays by itself: the real one, plus the keys the
// autopilot holds. Real keys still count, so Esc and closing the window work as usual.
#include <deque>

#include "autoplay/autopilot.h"
#include "platform/forwarding_platform.h"

namespace fenwhit {

class AutopilotPlatform final : public ForwardingPlatform {
 public:
  // Reads FENWHIT_TEST_AUTOPLAY_MISS_AFTER (seconds), which only tests set: from that many
  // seconds into each game it steers to miss the ball, so that the game soon ends.
  explicit AutopilotPlatform(Platform& real);

  // Every menu and game frame pumps once: the autopilot decides its keys here.
  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override {
    return inner().KeyHeld(scanCode) || keys_.Holds(scanCode);
  }

  // Plays one paddle of a two-paddle game that something else starts (a network game):
  // 0 the left, 1 the right, with Up and Down, which move the paddle inputDelay frames
  // after they are held. It then leaves the menu alone. kOnePaddleGame (the default):
  // starts one-paddle games from the menu and steers their paddle.
  void SteerPaddle(int paddle, int inputDelay = 0);

 private:
  int PendingSteps() const;

  AutopilotKeys keys_;
  int paddle_ = kOnePaddleGame;
  int inputDelay_ = 0;
  // Game frames steered so far in this game, and how many before missing (-1: never).
  int gameFrames_ = 0;
  int steeredFrames_ = -1;
  // The steps of the last inputDelay_ frames, up -1, down 1: held, not made yet.
  std::deque<int> pending_;
};

}  // namespace fenwhit
