#pragma once
// For a screen that runs its own loop inside PumpEvents: the window events queued meanwhile.
#include <functional>

#include "platform/platform.h"

namespace fenwhit {

// Takes every queued window event. A close request runs close and ends the program with
// status 0; true when any other came (the desktop spoilt the picture, so it is drawn again).
bool TakeWindowEventsOrExit(Platform& platform, const std::function<void()>& close);

}  // namespace fenwhit
