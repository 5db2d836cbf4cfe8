#pragma once
// The platform a game sees with a pause. P, the Pause key or a gamepad's Start (and, for a
// person playing, the window losing its focus or being minimised, or a gamepad in play
// going away) hold the game inside PumpEvents until the player goes on: nothing of the
// game runs meanwhile, the sound holds its place, and the clock the game reads leaves the
// paused time out, so the frames go on without a burst of catch-up.
#include <functional>
#include <optional>

#include "platform/forwarding_platform.h"

namespace fenwhit {

class SoundDevice;

class PausePlatform final : public ForwardingPlatform {
 public:
  // drawScreen draws and presents one picture of the paused game.
  // personPlaying: whether focus loss and gamepads going away pause (not for the autopilot).
  PausePlatform(Platform& inner, SoundDevice& sound, std::function<void()> drawScreen,
                bool personPlaying);

  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override;
  MouseState ReadMouse() override;
  WindowEvent TakeWindowEvent() override;
  double Clock() override { return inner().Clock() - pausedTime_; }
  void SleepUntil(double deadline) override { inner().SleepUntil(deadline + pausedTime_); }

  // A pause shared with another player's game: the paused loop keeps calling service, so
  // the link stays alive, and localChanged hears the local player pause (true) and go on
  // (false).
  struct Sharing {
    std::function<void()> service;
    std::function<void(bool paused)> localChanged;
  };
  void Share(Sharing sharing);
  void StopSharing();
  // The other player paused (true) or went on (false): followed at the next pump, or from
  // within the paused loop.
  void FollowPeer(bool paused);
  // The clock with the paused time left in.
  double WallClock() { return inner().Clock(); }

  bool Paused() const { return paused_; }
  // Seconds spent paused since the start.
  double PausedTime() const { return pausedTime_; }

  // How often the paused loop looks at its input, and how often it redraws at the least
  // (the desktop asks for a redraw when it has spoilt the picture).
  static constexpr int kPollMs = 20;
  static constexpr double kRedrawSeconds = 5.0;

 private:
  // Runs until the player goes on, leaves with Esc or closes the window, or the peer goes
  // on; byPeer: the pause came from the peer.
  void RunPaused(bool byPeer);
  bool PauseKeyHeld() const;
  // Space and mouse buttons held when play goes on stay hidden until released, so no
  // cancel is spent by a key pressed while paused.
  void HideHeldCancels();

  SoundDevice& sound_;
  std::function<void()> drawScreen_;
  bool personPlaying_;
  bool paused_ = false;
  double pausedTime_ = 0.0;
  bool pauseKeyWasHeld_ = false;
  bool wasActive_ = true;
  uint64_t gamepadsLost_ = 0;
  bool escapeAfterPause_ = false;
  bool closeRequested_ = false;
  bool spaceHidden_ = false;
  int32_t hiddenButtons_ = 0;
  std::optional<Sharing> sharing_;
  enum class PeerAsks { kNothing, kPause, kGoOn };
  PeerAsks peerAsks_ = PeerAsks::kNothing;
};

}  // namespace fenwhit
