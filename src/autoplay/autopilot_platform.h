#pragma once
// The platform the game sees when it plays by itself: the real one, plus the keys the
// autopilot holds. Real keys still count, so Esc and closing the window work as usual.
#include "autoplay/autopilot.h"
#include "platform/forwarding_platform.h"

namespace fenwhit {

class AutopilotPlatform final : public ForwardingPlatform {
 public:
  explicit AutopilotPlatform(Platform& real) : ForwardingPlatform(real) {}

  // Every menu and game frame pumps once: the autopilot decides its keys here.
  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override {
    return inner().KeyHeld(scanCode) || keys_.Holds(scanCode);
  }

 private:
  AutopilotKeys keys_;
};

}  // namespace fenwhit
