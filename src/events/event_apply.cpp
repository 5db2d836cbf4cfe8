#include "events/event_apply.h"

#include "events/event_catalogue.h"
#include "game/game_state.h"
#include "game/random.h"

namespace fenwhit {

namespace {

float randomPeriod(double range, double shortest) {
  return static_cast<float>(range * randomUnit() + shortest);
}

// The modes that last one cycle end here, and the backdrop's waves change pace.
void commonSteps() {
  GameState& g = game;
  g.wavePeriod[0] = randomPeriod(90, 50);
  for (int k = 1; k < 4; ++k) g.wavePeriod[k] = randomPeriod(90, 60);
  for (int k = 4; k < 8; ++k) g.wavePeriod[k] = randomPeriod(70, 60);
  g.slowFrames = 0;
  g.ballsFrozen = 0;
  if (g.zoomZoomActive != 0) {
    g.zoomTarget = g.savedZoom;
    g.zoomStep = 0.02;
    g.zoomZoomActive = 0;
  }
  g.squeezeYTarget = 0;
  g.squeezeXTarget = 0;
  // The arena turns slowly by itself through the eighth and ninth cycles.
  if (g.eventCount == 8) g.spinSpeed = 0.03f;
  if (g.eventCount == 9) g.spinSpeed = 0.04f;
}

}  // namespace

void applyEvent() {
  commonSteps();
  const EventEntry* entry = findEvent(game.eventNumber);
  if (entry != nullptr && entry->effect != nullptr) entry->effect();
}

}  // namespace fenwhit
