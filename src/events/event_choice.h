#pragma once
// Which event comes next.
#include <cstdint>

namespace fenwhit {

// Draws the event for the n-th announcement of a game: a fixed plan for the first
// seven, then the whole catalogue, with the numbers that have no event of their own
// folded onto others and the most disruptive events kept rare.
int32_t drawEventNumber(int32_t n);

// Sets the pending event and its title from a fresh draw for the current eventCount
// and starts its announcement. The fourteenth announcement also straightens the view.
void chooseEvent();

}  // namespace fenwhit
