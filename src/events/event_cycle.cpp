#include "events/event_cycle.h"

namespace fenwhit {

// Placeholders: the bodies come with the event cycle and the event behaviours.
void updateEventCycle() {}
void cycleTitleColour() {}
void drawBlackHole() {}
void drawEventTitles() {}

}  // namespace fenwhit
