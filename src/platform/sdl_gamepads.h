#pragma once
// SDL's game controller layer: gamepads plugged in before or during the game, each in
// the lowest free slot until it is unplugged. Gamepads beyond the slots wait for one to
// free.
#include <cstdint>

#include "platform/gamepad.h"

union SDL_Event;
struct _SDL_GameController;

namespace fenwhit {

// A stick or trigger counts as held past a quarter of its travel.
constexpr int kStickDeadZone = 32767 / 4;

class SdlGamepads {
 public:
  SdlGamepads() = default;
  ~SdlGamepads();
  SdlGamepads(const SdlGamepads&) = delete;
  SdlGamepads& operator=(const SdlGamepads&) = delete;

  // Starts SDL's game controller layer; the gamepads already plugged in arrive as events.
  bool Start();
  bool Started() const { return started_; }

  // One pump: BeginPump, every pending event through HandleEvent, then EndPump.
  void BeginPump();
  void HandleEvent(const SDL_Event& event);
  void EndPump();

  GamepadState Slot(int slot) const;

 private:
  struct Pad {
    _SDL_GameController* controller = nullptr;
    int32_t instance = -1;
    uint64_t device = 0;
    uint32_t held = 0;
    // Buttons pressed since the last pump: a tap shorter than a frame still counts.
    uint32_t tapped = 0;
  };
  void Close(Pad& pad);
  Pad* Find(int32_t instance);
  // Opens the gamepad at an SDL device index into the lowest free slot, unless it has one
  // already; true when it took a slot.
  bool Open(int deviceIndex);
  // After a slot frees: the first waiting gamepad takes it.
  void OpenWaiting();

  Pad pads_[pad::kSlots];
  bool started_ = false;
};

}  // namespace fenwhit
