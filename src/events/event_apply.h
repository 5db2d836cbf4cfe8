#pragma once
// Carrying out the pending event.

namespace fenwhit {

// Runs the steps every application shares (new wave periods, the end of the modes
// that last one cycle), then the pending event's own change. A cancelled event, or a
// number without an event, changes nothing of its own.
void applyEvent();

}  // namespace fenwhit
