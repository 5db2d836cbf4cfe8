#include "platform/window_events.h"

#include "platform/exit.h"

namespace fenwhit {

bool TakeWindowEventsOrExit(Platform& platform, const std::function<void()>& close) {
  bool other = false;
  for (WindowEvent event = platform.TakeWindowEvent(); event != WindowEvent::kNone;
       event = platform.TakeWindowEvent()) {
    if (event == WindowEvent::kClose) {
      close();
      ExitProgram(0);
    }
    other = true;
  }
  return other;
}

}  // namespace fenwhit
