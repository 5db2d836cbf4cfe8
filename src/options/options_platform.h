#pragma once
// The menu's options screen. O in the menu (a gamepad's Y, or a click on the key shown at
// the menu's foot) opens it over the menu, which holds still behind it: the volume, the
// music, calm flashes and the sound delay are changed there and kept at once, and the
// calibration and the network screen are opened from it. Up and Down choose, Left and Right
// change, Enter or Space act, Esc goes back; the mouse chooses what it moves over and a
// click acts, or changes a value on the side of it clicked. Like the net screen, it runs as
// a loop inside PumpEvents, drawing only when its picture changes.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/forwarding_platform.h"
#include "platform/held_input.h"

namespace fenwhit {

class MusicChoicePlatform;
class SettingsPlatform;

enum class OptionsItem { kVolume, kMusic, kFlashes, kSoundDelay, kCalibrate, kNetwork, kBack };

// One row of the screen, in the font's letters.
struct OptionsRow {
  OptionsItem item = OptionsItem::kBack;
  std::string label;
  // What it is set to; empty for a row that opens something.
  std::string value;
  // The volume, drawn as a bar of steps; -1 for none.
  int bar = -1;

  bool operator==(const OptionsRow&) const = default;
};

// What the screen shows.
struct OptionsView {
  std::vector<OptionsRow> rows;
  int selected = 0;
  // A word about the chosen row.
  std::string note;
  // The keys that do something on it.
  std::string hint;

  bool operator==(const OptionsView&) const = default;
};

class OptionsPlatform final : public ForwardingPlatform {
 public:
  struct Hooks {
    // Draws and presents one picture of the screen.
    std::function<void(const OptionsView& view)> draw;
    // Open their screens once this one has closed; without calibrate its row is left out.
    std::function<void()> network;
    std::function<void()> calibrate;
  };

  OptionsPlatform(Platform& inner, SettingsPlatform& settings, MusicChoicePlatform& music,
                  Hooks hooks);

  void PumpEvents() override;
  // Keys and buttons the screen took stay hidden from the menu until they are let go.
  bool KeyHeld(int scanCode) const override;
  MouseState ReadMouse() override;

  bool Open() const { return open_; }
  const OptionsView& View() const { return view_; }
  // Whether the menu stands, uncovered, so that its foot shows the options key.
  bool MenuShowing() const;

  // How long the screen sleeps between looks at its keys and mouse.
  static constexpr int kPollMs = 16;
  // The picture is drawn when it changes, and this often at the least.
  static constexpr double kRedrawSeconds = 0.5;
  // The sound delay held on Left or Right steps again after a moment, then steadily.
  static constexpr double kRepeatDelaySeconds = 0.4;
  static constexpr double kRepeatSeconds = 0.06;
  static constexpr int kSoundDelayStepMs = 10;

 private:
  void Run();
  // One look at the keys and the mouse; false once the screen closes.
  bool Step();
  void FollowKeys();
  void FollowMouse();
  // Left (-1) or Right (+1) on the chosen row.
  void Change(int direction);
  // Enter, Space or a click on the chosen row.
  void Act();
  void Close();
  void MakeView();
  // A word about the row.
  std::string NoteOn(OptionsItem item) const;
  void Draw();
  std::vector<OptionsItem> Items() const;
  OptionsItem Chosen() const;
  bool Pressed(int scanCode) const;
  void RememberHeldKeys(std::array<bool, scan::kCount>& keys) const;
  bool OnFoot(const MouseState& mouse) const;

  SettingsPlatform& settings_;
  MusicChoicePlatform& music_;
  Hooks hooks_;
  bool open_ = false;
  // Inside PumpEvents with the screen's loop (or a screen it opened) running.
  bool running_ = false;
  int selected_ = 0;
  // The screen a row asked for, opened once this one has closed.
  std::function<void()> then_;
  bool oWasHeld_ = false;
  int32_t buttonsWere_ = 0;
  MouseState mouseWas_;
  double repeatAt_ = -1.0;
  // Keys as held at the last look, for fresh presses; keys and buttons held as it closed.
  std::array<bool, scan::kCount> wasHeld_{};
  HeldInput hidden_;
  OptionsView view_;
  PixelSize drawnSize_;
  double drawnAt_ = 0.0;
};

}  // namespace fenwhit
