#pragma once
// Gamepads as the platform reports them: the controls each one holds, its sticks and
// triggers already judged against their dead zone. The rules never see these: an
// adapter outside them turns gamepads into held keys.
#include <cstdint>

namespace fenwhit {

namespace pad {
constexpr uint32_t kUp = 1u << 0;  // D-pad or left stick
constexpr uint32_t kDown = 1u << 1;
constexpr uint32_t kRightStickUp = 1u << 2;
constexpr uint32_t kRightStickDown = 1u << 3;
constexpr uint32_t kA = 1u << 4;
constexpr uint32_t kB = 1u << 5;
constexpr uint32_t kX = 1u << 6;
constexpr uint32_t kStart = 1u << 7;
constexpr uint32_t kBack = 1u << 8;
constexpr uint32_t kLeftShoulder = 1u << 9;
constexpr uint32_t kRightShoulder = 1u << 10;
constexpr uint32_t kLeftTrigger = 1u << 11;
constexpr uint32_t kRightTrigger = 1u << 12;
constexpr uint32_t kLeft = 1u << 13;  // D-pad or left stick
constexpr uint32_t kRight = 1u << 14;
constexpr uint32_t kY = 1u << 15;
constexpr uint32_t kDirections = kUp | kDown | kLeft | kRight | kRightStickUp | kRightStickDown;

// A new gamepad takes the lowest free slot and keeps it until it is unplugged.
constexpr int kSlots = 4;
}  // namespace pad

struct GamepadState {
  bool connected = false;
  uint32_t held = 0;  // pad:: bits
  // New every time a gamepad is plugged in.
  int32_t plug = -1;
  // The same every time the same gamepad is plugged in; gamepads of one make that tell no
  // serial number share it.
  uint64_t device = 0;
};

}  // namespace fenwhit
