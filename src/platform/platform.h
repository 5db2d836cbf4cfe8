#pragma once
// The seam between the game and the machine: window, input and clock.
// The real implementation sits on SDL2; tests use a scripted one.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/gamepad.h"
#include "platform/letterbox.h"

namespace fenwhit {

// PC set-1 scan codes of the keys the game reads. The four volume keys (minus, plus and
// the keypad's) stand for the key bearing that symbol, wherever the layout puts it.
namespace scan {
constexpr int kEsc = 1;
constexpr int kMinus = 12;
constexpr int kEquals = 13;  // the main keyboard's plus
constexpr int kBackspace = 14;
constexpr int kTab = 15;
constexpr int kW = 17;
constexpr int kO = 24;
constexpr int kP = 25;
constexpr int kEnter = 28;
constexpr int kA = 30;
constexpr int kS = 31;
constexpr int kK = 37;
constexpr int kZ = 44;
constexpr int kC = 46;
constexpr int kN = 49;
constexpr int kM = 50;
constexpr int kSpace = 57;
// The Pause key sends E1 1D 45; its last byte stands for it (Num Lock, which shares it,
// is never read).
constexpr int kPause = 69;
constexpr int kUp = 72;
constexpr int kKeypadMinus = 74;
constexpr int kLeft = 75;
constexpr int kRight = 77;
constexpr int kKeypadPlus = 78;
constexpr int kDown = 80;
constexpr int kCount = 128;
}  // namespace scan

// buttons: bit 0 left, bit 1 right, bit 2 middle (1 = left alone, 2 = right alone, 3 = both).
struct MouseState {
  int32_t x = 0;
  int32_t y = 0;
  int32_t wheel = 0;
  int32_t buttons = 0;
};

enum class WindowEvent { kNone, kClose, kOther };

class Platform {
 public:
  virtual ~Platform() = default;

  // Opens (or replaces) the game window with a fixed-function OpenGL context.
  // Returns false when the window or its context cannot be made.
  virtual bool OpenWindow(int width, int height) = 0;
  virtual void SwapBuffers() = 0;
  // Waits until everything drawn so far is on the picture, so a clock read after it
  // counts the drawing and not only its submission.
  virtual void FinishDrawing() {}
  // The window's drawable in pixels; {0, 0} means the size it was opened at.
  virtual PixelSize DrawableSize() const { return {}; }

  // Takes every pending event from the system so key and mouse state are current;
  // close requests and other window events are queued for TakeWindowEvent.
  virtual void PumpEvents() = 0;
  virtual bool KeyHeld(int scanCode) const = 0;
  virtual MouseState ReadMouse() = 0;
  // Takes one queued window event (close requests come first).
  virtual WindowEvent TakeWindowEvent() = 0;
  // Called as a game starts to drop a key press still queued for it. The platforms read keys
  // as held, not as a queue, so there is nothing to drop; tests count the calls.
  virtual void DiscardKeyPress() = 0;
  // How many keys went down since the start, keys the game never reads included.
  virtual uint64_t KeyPresses() const { return 0; }
  // Whether the window has the keyboard focus and is not minimised.
  virtual bool WindowActive() const { return true; }
  // The gamepad in a slot (0 to pad::kSlots - 1), as of the last PumpEvents.
  virtual GamepadState Gamepad(int slot) const {
    (void)slot;
    return {};
  }
  // How many gamepads playing in a game went away (a battery died) since the start: the
  // game pauses when one does.
  virtual uint64_t GamepadsLost() const { return 0; }
  // Takes the oldest file or folder path dropped on the window since the last call.
  virtual std::optional<std::string> TakeDroppedPath() { return std::nullopt; }
  // Text typed as the keyboard's layout and input method make it, for a field the player
  // types into. Off unless asked for: keys alone reach the game.
  virtual void SetTextInput(bool on) { (void)on; }
  // The UTF-8 text typed since the last call.
  virtual std::string TakeTypedText() { return {}; }

  // Monotonic seconds.
  virtual double Clock() = 0;
  virtual void SleepMs(int milliseconds) = 0;
  // Sleeps until Clock() reaches deadline (at once if it has); may wake a little late.
  virtual void SleepUntil(double deadline) = 0;
};

Platform& ThePlatform();
void SetPlatform(Platform* platform);

}  // namespace fenwhit
