#include "events/forced_events.h"

#include <charconv>
#include <cstdlib>
#include <utility>

#include "events/event_catalogue.h"

namespace fenwhit {

namespace {

std::vector<int32_t> forced;
size_t nextForced = 0;

}  // namespace

void ForceEventsInTurn(std::vector<int32_t> events) {
  forced = std::move(events);
  nextForced = 0;
}

std::optional<int32_t> NextForcedEvent() {
  if (forced.empty()) return std::nullopt;
  const int32_t event = forced[nextForced];
  nextForced = (nextForced + 1) % forced.size();
  return event;
}

std::optional<std::vector<int32_t>> ParseForcedEvents(std::string_view text) {
  std::vector<int32_t> events;
  if (text == "all") {
    for (int32_t e = 0; e <= kLastEventNumber; ++e) {
      if (findEvent(e) != nullptr) events.push_back(e);
    }
    return events;
  }
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view number = text.substr(0, comma);
    int32_t event = 0;
    const auto [stop, error] = std::from_chars(number.data(), number.data() + number.size(), event);
    if (error != std::errc() || stop != number.data() + number.size() ||
        findEvent(event) == nullptr) {
      return std::nullopt;
    }
    events.push_back(event);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
    if (text.empty()) return std::nullopt;
  }
  if (events.empty()) return std::nullopt;
  return events;
}

bool ForceEventsFromEnvironment() {
  const char* text = std::getenv("FENWHIT_TEST_EVENTS");
  if (text == nullptr) return false;
  auto events = ParseForcedEvents(text);
  if (!events) return false;
  ForceEventsInTurn(std::move(*events));
  return true;
}

}  // namespace fenwhit
