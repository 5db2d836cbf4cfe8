#pragma once
// The calendar as the files the game keeps write it: the best-scores table's dates and the
// replays' names.
#include <cstdint>
#include <functional>
#include <string>

namespace fenwhit {

// Unix seconds (UTC) now, or as a test sets them.
using CalendarClock = std::function<int64_t()>;
int64_t CalendarNow();

// strftime's `format` of the local time at unixSeconds, which is first clamped into the
// years 1970 to 9999 so that a year always has four digits.
std::string FormatLocalTime(int64_t unixSeconds, const char* format);

// "YYYY-MM-DD", the day as the best-scores table records it.
std::string LocalDate(int64_t unixSeconds);

}  // namespace fenwhit
