#pragma once
// A screen over the menu (the network screen, the options) runs its own loop inside
// PumpEvents; each look at the machine starts here.
#include <functional>

#include "platform/platform.h"

namespace fenwhit {

// Sleeps pollMs, pumps the platform and takes every window event it queued. A close request
// runs `closing` and ends the program; true when another event came (the desktop asks for a
// redraw when it has spoilt the picture).
bool PollScreen(Platform& platform, int pollMs, const std::function<void()>& closing);

}  // namespace fenwhit
