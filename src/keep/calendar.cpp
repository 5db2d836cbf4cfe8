#include "keep/calendar.h"

#include <algorithm>
#include <ctime>

namespace fenwhit {

namespace {

constexpr int64_t kEarliestTime = 0;              // 1970
constexpr int64_t kLatestTime = 253'402'000'000;  // late 9999, in any time zone

}  // namespace

int64_t CalendarNow() {
  return static_cast<int64_t>(std::time(nullptr));
}

std::string FormatLocalTime(int64_t unixSeconds, const char* format) {
  const time_t when = static_cast<time_t>(std::clamp(unixSeconds, kEarliestTime, kLatestTime));
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) gmtime_r(&when, &local);
  char text[64];
  if (std::strftime(text, sizeof(text), format, &local) == 0) return "";
  return text;
}

std::string LocalDate(int64_t unixSeconds) {
  return FormatLocalTime(unixSeconds, "%Y-%m-%d");
}

}  // namespace fenwhit
