#include "platform/screen_poll.h"

#include "platform/exit.h"

namespace fenwhit {

bool PollScreen(Platform& platform, int pollMs, const std::function<void()>& closing) {
  platform.SleepMs(pollMs);
  platform.PumpEvents();
  bool redraw = false;
  for (WindowEvent event = platform.TakeWindowEvent(); event != WindowEvent::kNone;
       event = platform.TakeWindowEvent()) {
    if (event == WindowEvent::kClose) {
      closing();
      ExitProgram(0);
    }
    redraw = true;
  }
  return redraw;
}

}  // namespace fenwhit
