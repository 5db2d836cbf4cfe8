#pragma once
// A platform for tests: no window, scripted keys and mouse per frame, injected close
// requests and a virtual clock, so the real screen loops run at full speed.
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace fenwhit {

class TestPlatform : public Platform {
 public:
  // Called at every PumpEvents with the number of pumps so far (0 for the first), so a
  // test can set keys, mouse and close requests for that frame.
  using Script = std::function<void(TestPlatform&, int pump)>;

  bool OpenWindow(int width, int height) override;
  void SwapBuffers() override { ++swaps_; }
  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override { return keys_.count(scanCode) > 0; }
  MouseState ReadMouse() override { return mouse_; }
  WindowEvent TakeWindowEvent() override;
  void DiscardKeyPress() override { ++discardedPresses_; }
  bool WindowActive() const override { return windowActive_; }
  // Every reading moves the clock on by clockStep, so busy waits end.
  double Clock() override;
  void SleepMs(int milliseconds) override;
  // Moves the virtual clock to the deadline; not counted in SleptMs.
  void SleepUntil(double deadline) override;

  void SetScript(Script script) { script_ = std::move(script); }
  void Press(int scanCode) {
    if (keys_.insert(scanCode).second) ++keyPresses_;
  }
  // A key the game never reads.
  void PressOtherKey() { ++keyPresses_; }
  uint64_t KeyPresses() const override { return keyPresses_; }
  void Release(int scanCode) { keys_.erase(scanCode); }
  void ReleaseAll() { keys_.clear(); }
  void SetMouse(MouseState mouse) { mouse_ = mouse; }
  void RequestClose() { events_.push_back(WindowEvent::kClose); }
  // A file or folder dropped on the window.
  void Drop(std::string path) { drops_.push_back(std::move(path)); }
  std::optional<std::string> TakeDroppedPath() override;
  void SetTextInput(bool on) override;
  std::string TakeTypedText() override;
  // Text typed on the keyboard; lost, as on a real one, while text input is off.
  void Type(std::string_view text);
  bool TextInputOn() const { return textInput_; }
  void QueueOtherEvent() { events_.push_back(WindowEvent::kOther); }
  void SetClockStep(double seconds) { clockStep_ = seconds; }
  void SetWindowActive(bool active) { windowActive_ = active; }
  void FailWindow() { failWindow_ = true; }

  int Pumps() const { return pumps_; }
  int Swaps() const { return swaps_; }
  int WindowsOpened() const { return windowsOpened_; }
  int LastWidth() const { return width_; }
  int LastHeight() const { return height_; }
  int DiscardedPresses() const { return discardedPresses_; }
  double Now() const { return now_; }
  long SleptMs() const { return sleptMs_; }

 private:
  Script script_;
  std::set<int> keys_;
  MouseState mouse_;
  std::deque<WindowEvent> events_;
  std::deque<std::string> drops_;
  std::string typed_;
  bool textInput_ = false;
  double now_ = 1000.0;
  double clockStep_ = 0.0005;
  long sleptMs_ = 0;
  int pumps_ = 0;
  int swaps_ = 0;
  int windowsOpened_ = 0;
  int width_ = 0;
  int height_ = 0;
  int discardedPresses_ = 0;
  bool failWindow_ = false;
  bool windowActive_ = true;
  uint64_t keyPresses_ = 0;
};

}  // namespace fenwhit
