#include "support/virtual_gamepad.h"

#include <gtest/gtest.h>

namespace fenwhit::testing {

VirtualGamepad::VirtualGamepad() {
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
    ADD_FAILURE() << "no joysticks: " << SDL_GetError();
    return;
  }
  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "virtual gamepad";
  const int device = SDL_JoystickAttachVirtualEx(&desc);
  if (device < 0 || !SDL_IsGameController(device)) {
    ADD_FAILURE() << "no virtual gamepad: " << SDL_GetError();
    return;
  }
  joystick_ = SDL_JoystickOpen(device);
  instance_ = SDL_JoystickInstanceID(joystick_);
}

VirtualGamepad::~VirtualGamepad() {
  Unplug();
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

void VirtualGamepad::Button(SDL_GameControllerButton button, bool down) {
  SDL_JoystickSetVirtualButton(joystick_, button, down ? SDL_PRESSED : SDL_RELEASED);
}

// The virtual joystick's axes follow the game controller's in order.
void VirtualGamepad::Stick(SDL_GameControllerAxis axis, int value) {
  SDL_JoystickSetVirtualAxis(joystick_, axis, static_cast<Sint16>(value));
}

void VirtualGamepad::Trigger(SDL_GameControllerAxis axis, bool pulled) {
  SDL_JoystickSetVirtualAxis(joystick_, axis, pulled ? 32767 : -32768);
}

void VirtualGamepad::Rest() {
  for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
    Button(static_cast<SDL_GameControllerButton>(button), false);
  }
  for (SDL_GameControllerAxis stick : {SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY,
                                       SDL_CONTROLLER_AXIS_RIGHTX, SDL_CONTROLLER_AXIS_RIGHTY}) {
    Stick(stick, 0);
  }
  Trigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT, false);
  Trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, false);
}

void VirtualGamepad::Unplug() {
  if (joystick_ == nullptr) return;
  SDL_JoystickClose(joystick_);
  joystick_ = nullptr;
  for (int device = 0; device < SDL_NumJoysticks(); ++device) {
    if (SDL_JoystickGetDeviceInstanceID(device) == instance_) {
      SDL_JoystickDetachVirtual(device);
      break;
    }
  }
}

SdlGamepadsOnTestPlatform::SdlGamepadsOnTestPlatform(TestPlatform& scripted)
    : ForwardingPlatform(scripted) {
  EXPECT_TRUE(sdl_.StartGamepads()) << SDL_GetError();
}

}  // namespace fenwhit::testing
