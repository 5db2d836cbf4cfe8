#pragma once
// The calibration of when the beat is heard. C in the menu (or the options screen, by
// Open) plays the beat track over the menu, which holds still behind it; the player presses
// Space, Enter, a mouse button or a gamepad's button on every kick for sixteen kicks, and the
// median of how late the presses come after the kicks, as the game reckons it hears them,
// becomes the player's av_offset_ms at once. Esc leaves without saving; too few presses on
// the kicks save nothing and say so. Like the pause, it runs as a loop inside PumpEvents.
#include <array>
#include <functional>
#include <string>

#include "calibration/kick_presses.h"
#include "platform/forwarding_platform.h"
#include "platform/held_input.h"

namespace fenwhit {

class SoundDevice;

// What the screen shows, in the font's letters.
struct CalibrationView {
  std::string heading;
  std::string line;
  bool trouble = false;
  std::string hint;

  bool operator==(const CalibrationView&) const = default;
};

class CalibrationPlatform final : public ForwardingPlatform {
 public:
  struct Hooks {
    // Where the beat track is, once the game's data is unpacked.
    std::function<std::string()> beatTrackPath;
    // Draws and presents one picture of the screen.
    std::function<void(const CalibrationView& view)> draw;
    // Keeps the offset the presses asked for, already in force.
    std::function<void(int offsetMs)> remember;
  };

  CalibrationPlatform(Platform& inner, SoundDevice& sound, Hooks hooks);

  void PumpEvents() override;
  // Keys and buttons the screen took stay hidden from the menu until they are let go.
  bool KeyHeld(int scanCode) const override;
  MouseState ReadMouse() override;

  // Runs the screen until the player leaves it.
  void Open();

  bool IsOpen() const { return open_; }
  const CalibrationView& View() const { return view_; }

  // How often the screen looks at the keys: a press is timed to within this.
  static constexpr int kPollMs = 4;
  // The picture is drawn when it changes, and this often at the least (a volume bar going).
  static constexpr double kRedrawSeconds = 0.5;

 private:
  enum class Phase { kListening, kPressing, kDone };

  // One look at the keys and the sound; false once the screen closes.
  bool Step();
  // Where the sound heard now stands in the beat track, as the game reckons it.
  double HeardSeconds();
  void Finish();
  void StopTrack();
  void Close();
  void MakeView();
  void Draw();
  bool Pressed(int scanCode) const;
  bool TapPressed() const;
  void RememberHeld(std::array<bool, scan::kCount>& keys, int32_t& buttons) const;

  SoundDevice& sound_;
  Hooks hooks_;
  bool open_ = false;
  bool coveredBefore_ = false;
  Phase phase_ = Phase::kListening;
  KickPresses presses_;
  int track_ = 0;
  std::string result_;
  bool trouble_ = false;
  CalibrationView view_;
  bool cWasHeld_ = false;
  // Keys and buttons as held at the last look, for fresh presses; those held as it closed.
  std::array<bool, scan::kCount> wasHeld_{};
  int32_t buttonsWereHeld_ = 0;
  HeldInput hidden_;
  double drawnAt_ = 0.0;
};

}  // namespace fenwhit
