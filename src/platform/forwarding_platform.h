#pragma once
// A platform wrapped around another that passes every call through; wrappers that add
// held keys (the autopilot, the gamepads) override only what they change.
#include "platform/platform.h"

namespace fenwhit {

class ForwardingPlatform : public Platform {
 public:
  explicit ForwardingPlatform(Platform& inner) : inner_(inner) {}

  bool OpenWindow(int width, int height) override { return inner_.OpenWindow(width, height); }
  void SwapBuffers() override { inner_.SwapBuffers(); }
  void FinishDrawing() override { inner_.FinishDrawing(); }
  PixelSize DrawableSize() const override { return inner_.DrawableSize(); }
  void PumpEvents() override { inner_.PumpEvents(); }
  bool KeyHeld(int scanCode) const override { return inner_.KeyHeld(scanCode); }
  MouseState ReadMouse() override { return inner_.ReadMouse(); }
  WindowEvent TakeWindowEvent() override { return inner_.TakeWindowEvent(); }
  void DiscardKeyPress() override { inner_.DiscardKeyPress(); }
  uint64_t KeyPresses() const override { return inner_.KeyPresses(); }
  bool WindowActive() const override { return inner_.WindowActive(); }
  GamepadState Gamepad(int slot) const override { return inner_.Gamepad(slot); }
  uint64_t GamepadsLost() const override { return inner_.GamepadsLost(); }
  std::optional<std::string> TakeDroppedPath() override { return inner_.TakeDroppedPath(); }
  void SetTextInput(bool on) override { inner_.SetTextInput(on); }
  std::string TakeTypedText() override { return inner_.TakeTypedText(); }
  double Clock() override { return inner_.Clock(); }
  void SleepMs(int milliseconds) override { inner_.SleepMs(milliseconds); }
  void SleepUntil(double deadline) override { inner_.SleepUntil(deadline); }

 protected:
  Platform& inner() const { return inner_; }

 private:
  Platform& inner_;
};

}  // namespace fenwhit
