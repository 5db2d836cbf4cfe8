#pragma once
// For test runs that must see every event: the event choice can be told which events to
// take, in turn and round again, instead of drawing them. Off unless a test turns it on;
// the random draw is still made, so the rest of the game's randomness runs as usual.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace fenwhit {

// The events to take in turn from the next choice on; empty: the draw decides again.
void ForceEventsInTurn(std::vector<int32_t> events);
// The next forced event, or nothing when none are forced.
std::optional<int32_t> NextForcedEvent();

// "all" (every event of the catalogue in number order) or numbers separated by commas,
// each one with an event of its own. Nothing when the text is neither.
std::optional<std::vector<int32_t>> ParseForcedEvents(std::string_view text);

// FENWHIT_TEST_EVENTS, in the form above: forces those events when set and well formed.
// Returns whether it did.
bool ForceEventsFromEnvironment();

}  // namespace fenwhit
