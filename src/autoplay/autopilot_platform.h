#pragma once
// The platform the game sees when it plays by itself: the real one, plus the keys the
// autopilot holds. Real keys still count, so Esc and closing the window work as usual.
#include "autoplay/autopilot.h"
#include "platform/platform.h"

namespace fenwhit {

class AutopilotPlatform final : public Platform {
 public:
  explicit AutopilotPlatform(Platform& real) : real_(real) {}

  bool OpenWindow(int width, int height) override { return real_.OpenWindow(width, height); }
  void SwapBuffers() override { real_.SwapBuffers(); }
  // Every menu and game frame pumps once: the autopilot decides its keys here.
  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override {
    return real_.KeyHeld(scanCode) || keys_.Holds(scanCode);
  }
  MouseState ReadMouse() override { return real_.ReadMouse(); }
  WindowEvent TakeWindowEvent() override { return real_.TakeWindowEvent(); }
  void DiscardKeyPress() override { real_.DiscardKeyPress(); }
  double Clock() override { return real_.Clock(); }
  void SleepMs(int milliseconds) override { real_.SleepMs(milliseconds); }
  void SleepUntil(double deadline) override { real_.SleepUntil(deadline); }

 private:
  Platform& real_;
  AutopilotKeys keys_;
};

}  // namespace fenwhit
