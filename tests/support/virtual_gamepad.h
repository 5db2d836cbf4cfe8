#pragma once
// Gamepads made of SDL's virtual joysticks, and a platform that reads them through the
// real SDL gamepad code while the scripted platform keeps the window, keys and clock:
// the real menu and game loops run headless at full speed, with SDL doing the hot-plug.
#include <SDL.h>

#include "platform/forwarding_platform.h"
#include "platform/sdl_platform.h"
#include "platform/test_platform.h"

namespace fenwhit::testing {

class VirtualGamepad {
 public:
  VirtualGamepad();  // plugs it in
  ~VirtualGamepad();
  VirtualGamepad(const VirtualGamepad&) = delete;
  VirtualGamepad& operator=(const VirtualGamepad&) = delete;

  bool Plugged() const { return joystick_ != nullptr; }
  void Button(SDL_GameControllerButton button, bool down);
  // Sticks from -32768 to 32767, y growing downwards.
  void Stick(SDL_GameControllerAxis axis, int value);
  void Trigger(SDL_GameControllerAxis axis, bool pulled);
  // Lets go of every control.
  void Rest();
  void Unplug();

 private:
  SDL_Joystick* joystick_ = nullptr;
  SDL_JoystickID instance_ = -1;
};

class SdlGamepadsOnTestPlatform final : public ForwardingPlatform {
 public:
  explicit SdlGamepadsOnTestPlatform(TestPlatform& scripted);

  // The script first, so what it does to a gamepad shows in this very frame.
  void PumpEvents() override {
    inner().PumpEvents();
    sdl_.PumpEvents();
  }
  GamepadState Gamepad(int slot) const override { return sdl_.Gamepad(slot); }

 private:
  SdlPlatform sdl_{"unused"};
};

}  // namespace fenwhit::testing
