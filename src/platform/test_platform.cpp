#include "platform/test_platform.h"

#include <utility>

namespace fenwhit {

bool TestPlatform::OpenWindow(int width, int height) {
  if (failWindow_) return false;
  ++windowsOpened_;
  width_ = width;
  height_ = height;
  return true;
}

void TestPlatform::PumpEvents() {
  if (script_) script_(*this, pumps_);
  ++pumps_;
}

WindowEvent TestPlatform::TakeWindowEvent() {
  if (events_.empty()) return WindowEvent::kNone;
  // Close requests are taken before any other queued event.
  for (auto it = events_.begin(); it != events_.end(); ++it) {
    if (*it == WindowEvent::kClose) {
      events_.erase(it);
      return WindowEvent::kClose;
    }
  }
  const WindowEvent event = events_.front();
  events_.pop_front();
  return event;
}

std::optional<std::string> TestPlatform::TakeDroppedPath() {
  if (drops_.empty()) return std::nullopt;
  std::string path = std::move(drops_.front());
  drops_.pop_front();
  return path;
}

void TestPlatform::SetTextInput(bool on) {
  textInput_ = on;
  if (!on) typed_.clear();
}

std::string TestPlatform::TakeTypedText() {
  return std::exchange(typed_, {});
}

void TestPlatform::Type(std::string_view text) {
  if (textInput_) typed_ += text;
}

double TestPlatform::Clock() {
  now_ += clockStep_;
  return now_;
}

void TestPlatform::SleepMs(int milliseconds) {
  if (milliseconds > 0) {
    sleptMs_ += milliseconds;
    now_ += milliseconds / 1000.0;
  }
}

void TestPlatform::SleepUntil(double deadline) {
  if (deadline > now_) now_ = deadline;
}

}  // namespace fenwhit
