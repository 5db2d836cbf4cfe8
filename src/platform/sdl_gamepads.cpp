#include "platform/sdl_gamepads.h"

#include <SDL.h>

#include <functional>
#include <string>

namespace fenwhit {

namespace {

uint32_t ButtonBit(int button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return pad::kUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return pad::kDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return pad::kLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return pad::kRight;
    case SDL_CONTROLLER_BUTTON_A:
      return pad::kA;
    case SDL_CONTROLLER_BUTTON_B:
      return pad::kB;
    case SDL_CONTROLLER_BUTTON_X:
      return pad::kX;
    case SDL_CONTROLLER_BUTTON_Y:
      return pad::kY;
    case SDL_CONTROLLER_BUTTON_START:
      return pad::kStart;
    case SDL_CONTROLLER_BUTTON_BACK:
      return pad::kBack;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
      return pad::kLeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
      return pad::kRightShoulder;
    default:
      return 0;
  }
}

uint32_t ReadControls(SDL_GameController* controller) {
  uint32_t held = 0;
  for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
    if (SDL_GameControllerGetButton(controller, static_cast<SDL_GameControllerButton>(button))) {
      held |= ButtonBit(button);
    }
  }
  const auto axis = [controller](SDL_GameControllerAxis which) {
    return SDL_GameControllerGetAxis(controller, which);
  };
  // Stick y grows downwards.
  if (axis(SDL_CONTROLLER_AXIS_LEFTY) < -kStickDeadZone) held |= pad::kUp;
  if (axis(SDL_CONTROLLER_AXIS_LEFTY) > kStickDeadZone) held |= pad::kDown;
  if (axis(SDL_CONTROLLER_AXIS_LEFTX) < -kStickDeadZone) held |= pad::kLeft;
  if (axis(SDL_CONTROLLER_AXIS_LEFTX) > kStickDeadZone) held |= pad::kRight;
  if (axis(SDL_CONTROLLER_AXIS_RIGHTY) < -kStickDeadZone) held |= pad::kRightStickUp;
  if (axis(SDL_CONTROLLER_AXIS_RIGHTY) > kStickDeadZone) held |= pad::kRightStickDown;
  if (axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT) > kStickDeadZone) held |= pad::kLeftTrigger;
  if (axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT) > kStickDeadZone) held |= pad::kRightTrigger;
  return held;
}

// The make and model (SDL's GUID) and, where the gamepad tells it, its serial number.
uint64_t DeviceOf(SDL_GameController* controller) {
  SDL_Joystick* joystick = SDL_GameControllerGetJoystick(controller);
  char guid[33] = {};
  SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(joystick), guid, sizeof guid);
  std::string name = guid;
  if (const char* serial = SDL_JoystickGetSerial(joystick)) name += serial;
  return std::hash<std::string>{}(name);
}

}  // namespace

SdlGamepads::~SdlGamepads() {
  for (Pad& pad : pads_) Close(pad);
  if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool SdlGamepads::Start() {
  if (!started_) started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  return started_;
}

void SdlGamepads::Close(Pad& pad) {
  if (pad.controller != nullptr) SDL_GameControllerClose(pad.controller);
  pad = Pad{};
}

SdlGamepads::Pad* SdlGamepads::Find(int32_t instance) {
  for (Pad& pad : pads_) {
    if (pad.controller != nullptr && pad.instance == instance) return &pad;
  }
  return nullptr;
}

bool SdlGamepads::Open(int deviceIndex) {
  Pad* free = nullptr;
  for (Pad& pad : pads_) {
    if (pad.controller == nullptr && free == nullptr) free = &pad;
  }
  // Opening a gamepad twice would only count SDL's references up.
  if (free == nullptr || Find(SDL_JoystickGetDeviceInstanceID(deviceIndex)) != nullptr) {
    return false;
  }
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (controller == nullptr) return false;
  free->controller = controller;
  free->instance = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
  free->device = DeviceOf(controller);
  return true;
}

void SdlGamepads::OpenWaiting() {
  for (int device = 0; device < SDL_NumJoysticks(); ++device) {
    if (SDL_IsGameController(device) == SDL_TRUE && Open(device)) return;
  }
}

void SdlGamepads::BeginPump() {
  for (Pad& pad : pads_) pad.tapped = 0;
}

void SdlGamepads::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      // which: a device index here, an instance id in every other controller event.
      Open(event.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      if (Pad* pad = Find(event.cdevice.which)) {
        Close(*pad);
        OpenWaiting();
      }
      break;
    case SDL_CONTROLLERBUTTONDOWN:
      if (Pad* pad = Find(event.cbutton.which)) pad->tapped |= ButtonBit(event.cbutton.button);
      break;
    default:
      break;
  }
}

void SdlGamepads::EndPump() {
  for (Pad& pad : pads_) {
    if (pad.controller == nullptr) continue;
    if (!SDL_GameControllerGetAttached(pad.controller)) {
      Close(pad);
      OpenWaiting();
      continue;
    }
    pad.held = ReadControls(pad.controller) | pad.tapped;
  }
}

GamepadState SdlGamepads::Slot(int slot) const {
  if (slot < 0 || slot >= pad::kSlots || pads_[slot].controller == nullptr) return {};
  const Pad& pad = pads_[slot];
  return {true, pad.held, pad.instance, pad.device};
}

}  // namespace fenwhit
