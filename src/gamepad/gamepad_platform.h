#pragma once
// The platform the game sees with gamepads: the real one, plus the keys its gamepads
// stand for in the menu or the kind of game running.
#include "gamepad/gamepad_keys.h"
#include "platform/platform.h"

namespace fenwhit {

class GamepadPlatform final : public Platform {
 public:
  explicit GamepadPlatform(Platform& real) : real_(real) {}

  bool OpenWindow(int width, int height) override { return real_.OpenWindow(width, height); }
  void SwapBuffers() override { real_.SwapBuffers(); }
  // Every menu and game frame pumps once: the gamepads' keys are decided here.
  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override {
    return real_.KeyHeld(scanCode) ||
           (scanCode >= 0 && scanCode < scan::kCount && keys_.test(static_cast<size_t>(scanCode)));
  }
  MouseState ReadMouse() override { return real_.ReadMouse(); }
  WindowEvent TakeWindowEvent() override { return real_.TakeWindowEvent(); }
  void DiscardKeyPress() override { real_.DiscardKeyPress(); }
  GamepadState Gamepad(int slot) const override { return real_.Gamepad(slot); }
  double Clock() override { return real_.Clock(); }
  void SleepMs(int milliseconds) override { real_.SleepMs(milliseconds); }
  void SleepUntil(double deadline) override { real_.SleepUntil(deadline); }

 private:
  Platform& real_;
  HeldKeys keys_;
  PadContext context_ = PadContext::kMenu;
  // Buttons held when the menu gave way to a game or back count only once released:
  // A held to fire as a game ends must not start the next one, nor Back end the program.
  uint32_t stale_[pad::kSlots] = {};
};

}  // namespace fenwhit
