#pragma once
// The real platform: an SDL2 window with a fixed-function OpenGL context, keyboard,
// mouse and gamepad state, and the system's monotonic clock.
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "platform/frames_in_flight.h"
#include "platform/platform.h"
#include "platform/sdl_gamepads.h"

struct SDL_Window;
struct SDL_KeyboardEvent;
struct SDL_Keysym;

namespace fenwhit {

class SdlPlatform : public Platform {
 public:
  // appId names the window for desktops, to match it with the game's menu entry.
  explicit SdlPlatform(std::string title, std::string appId = {});
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  // Starts SDL's video (and the gamepads with it). Fails when SDL finds no display and
  // would fall back to drawing offscreen, unless that driver was asked for.
  bool StartVideo();
  bool OpenWindow(int width, int height) override;
  void SwapBuffers() override;
  void FinishDrawing() override;
  PixelSize DrawableSize() const override;
  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override;
  MouseState ReadMouse() override;
  WindowEvent TakeWindowEvent() override;
  // Key presses are not queued here, so a game start has nothing to discard.
  void DiscardKeyPress() override {}
  bool WindowActive() const override { return focused_ && !minimised_; }
  uint64_t KeyPresses() const override { return keyPresses_; }
  GamepadState Gamepad(int slot) const override { return gamepads_.Slot(slot); }
  std::optional<std::string> TakeDroppedPath() override;
  void SetTextInput(bool on) override;
  std::string TakeTypedText() override;
  double Clock() override;
  void SleepMs(int milliseconds) override;
  void SleepUntil(double deadline) override;

  // Why the last StartVideo or OpenWindow failed.
  const std::string& LastError() const { return lastError_; }

  // Fullscreen at the desktop's own resolution, or the window. Before the window opens
  // this chooses how it opens; a screen-mode switch keeps it. F11 and Alt+Enter toggle it.
  void SetFullscreen(bool on);
  bool Fullscreen() const { return fullscreen_; }

  // Whether a window too large for the desktop's usable area is made smaller (with the
  // same shape). Tests that read back a window of an exact size turn it off.
  void SetFitToDesktop(bool on) { fitToDesktop_ = on; }

  // Gamepads start with the window; tests that need no window start them alone.
  bool StartGamepads() { return gamepads_.Start(); }

 private:
  // The window's frame as the window manager reports it; all zero when it has none.
  struct Borders {
    int top = 0, left = 0, bottom = 0, right = 0;
    bool operator==(const Borders&) const = default;
  };

  void SetIcon();
  // Sizes the window for the picture on the display it is on, within the desktop's usable
  // area less the frame, and centres it there.
  void FitWindow();
  // The frame is known only once the window manager has framed the window, after it opens
  // and again after it leaves fullscreen (where it has none): fit again when it changes.
  void FollowFrame();
  std::optional<Borders> FrameBorders() const;
  // Handles F11 and Alt+Enter; true when the event was one of them, which the game never sees.
  bool TakeFullscreenKey(const SDL_KeyboardEvent& key);
  // Focus and minimising, from SDL's window events.
  void TrackWindowState(uint8_t windowEvent);
  void TrackMouseButton(uint8_t button, bool down);
  void TrackKey(const SDL_Keysym& key, bool down);
  // Queues the path of a drop and frees SDL's copy of it.
  void QueueDrop(char* path);

  std::string title_;
  std::string appId_;
  std::string lastError_;
  SDL_Window* window_ = nullptr;
  void* context_ = nullptr;
  FramesInFlight framesInFlight_;
  bool videoStarted_ = false;
  bool fullscreen_ = false;
  bool fitToDesktop_ = true;
  // The picture size of the last OpenWindow, and the frame the window's size last allowed
  // for (none where SDL cannot read frames).
  PixelSize picture_;
  std::optional<Borders> fittedFrame_;
  // Until the desktop says otherwise, a new window counts as focused.
  bool focused_ = true;
  bool minimised_ = false;
  // Held toggle keys: holding one toggles once.
  bool f11Latched_ = false;
  bool enterLatched_ = false;
  bool keys_[scan::kCount] = {};
  // Keys that went down since the last pump: a tap shorter than a frame still counts as
  // held for one frame.
  bool tapped_[scan::kCount] = {};
  // What each key (by SDL scancode) went down as, 0 for none or a key not read.
  std::array<uint8_t, 512> pressedAs_{};
  int closeRequests_ = 0;
  int otherEvents_ = 0;
  uint64_t keyPresses_ = 0;
  int32_t wheel_ = 0;
  // Mouse buttons from SDL's button events (bits as in MouseState): SDL's own button state
  // can stay held when a button is let go over another window.
  int32_t mouseButtons_ = 0;
  int32_t mouseTapped_ = 0;
  SdlGamepads gamepads_;
  // Paths dropped on the window and not yet taken; a flood beyond the cap is let go.
  std::deque<std::string> drops_;
  // Text typed while text input is on and not yet taken; typing beyond the cap is let go.
  std::string typed_;
};

// How many dropped paths wait at most, and how long one may be.
inline constexpr size_t kMaxQueuedDrops = 64;
inline constexpr size_t kMaxDroppedPathBytes = 4096;
// How much typed text waits at most.
inline constexpr size_t kMaxTypedBytes = 1024;

// Maps an SDL scancode to the PC set-1 code of the same key, or 0 for keys the game
// never reads or reads by their symbol.
int SetOneScanCode(int sdlScancode);

// The code a key counts as. Most keys count by their place (W and S sit where the left
// hand is on any layout), but the volume keys by the symbol a player reads on them: a
// German keyboard has its minus where a US one has the slash, and sharp s at the US minus.
int GameKeyCode(int sdlScancode, int32_t sdlKeycode);

}  // namespace fenwhit
