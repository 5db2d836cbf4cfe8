#include "events/event_choice.h"

#include "audio/sound_bank.h"
#include "events/event_catalogue.h"
#include "events/forced_events.h"
#include "game/game_state.h"
#include "game/random.h"
#include "game/rounding.h"

namespace fenwhit {

namespace {

int32_t drawWhole(double top) {
  return RoundEven(top * randomUnit());
}

// 33 to 40 have no event of their own.
int32_t fold(int32_t e) {
  if (e >= 33 && e <= 36) return 1;
  if (e == 37) return 2;
  if (e == 38) return 9;
  if (e == 39) return 16;
  if (e == 40) return 21;
  return e;
}

bool isDisruptive(int32_t e) {
  return e >= 27 && e <= 31;
}

}  // namespace

int32_t drawEventNumber(int32_t n) {
  int32_t e = RoundEven(2 * randomUnit() + 1);
  if (n < 3) e = drawWhole(3);
  if (n == 3) e = 2;
  if (n == 4) e = 1;
  if (n == 5 || n == 7) e = 10;
  if (n > 7) e = drawWhole(49);
  e = fold(e);
  // Slow frames, frozen balls and the ball skins survive only 3 draws in 16.
  if (isDisruptive(e) && drawWhole(8) > 1) {
    // Folded too, so that no cycle passes without an event.
    e = fold(drawWhole(49));
  }
  return e;
}

void chooseEvent() {
  GameState& g = game;
  if (g.eventCount == 14) {
    g.zoomTarget = 1.0;
    g.tiltTarget = 0;
  }
  g.eventNumber = drawEventNumber(g.eventCount);
  if (const auto event = NextForcedEvent()) g.eventNumber = *event;
  const EventEntry* entry = findEvent(g.eventNumber);
  if (entry == nullptr) return;
  g.eventTitle = entry->title;
  if (entry->announcement != kNoAnnouncement) PlayAnnouncement(entry->announcement);
}

}  // namespace fenwhit
