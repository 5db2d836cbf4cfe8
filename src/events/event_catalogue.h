#pragma once
// The numbered events: what each is called on screen, what it says, and what it does.
#include <cstdint>
#include <string_view>

#include "game/same_arithmetic.h"

namespace fenwhit {

inline constexpr int32_t kCancelledEvent = -1;
inline constexpr int32_t kLastEventNumber = 49;
inline constexpr int kNoAnnouncement = -1;

struct EventEntry {
  std::string_view title;
  int announcement;  // sound id, or kNoAnnouncement
  void (*effect)();  // nullptr: the event only shows its title
};

// The catalogue entry of an event number, or nullptr for numbers without one
// (33 to 40, the cancelled event and anything out of range).
const EventEntry* findEvent(int32_t number);

}  // namespace fenwhit
