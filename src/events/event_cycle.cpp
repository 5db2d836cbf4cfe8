#include "events/event_cycle.h"

#include <atomic>

#include "audio/music.h"
#include "audio/sound_bank.h"
#include "audio/sound_ids.h"
#include "events/event_apply.h"
#include "events/event_choice.h"
#include "game/game_state.h"
#include "game/random.h"
#include "game/rounding.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "gfx/sprites.h"
#include "gfx/text.h"

namespace fenwhit {

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr int32_t kDoubleEvent = 4;
constexpr int32_t kAnnounceBeat = 13;
constexpr int32_t kApplyBeat = 17;
constexpr int32_t kAndBeat = 2;
constexpr int32_t kSecondAnnounceBeat = 4;
constexpr int32_t kSecondApplyBeat = 8;
constexpr std::string_view kAndCaption = "     AND";

struct ColourSwing {
  int32_t rise;
  int32_t top;
  int32_t fall;
  int32_t bottom;
};
constexpr ColourSwing kTitleSwing[3] = {{4, 250, 3, 120}, {7, 241, 4, 131}, {3, 242, 5, 168}};

// Every application flashes the backdrop white and lets it settle on a new tint.
void flashBackdrop() {
  for (int32_t& component : game.bgColour) component = 255;
  for (int32_t& component : game.bgColourTarget) component = RoundEven(255 * randomUnit());
}

void announce() {
  GameState& g = game;
  g.waveAmplitudeTarget += 11;
  if (g.eventCount > 4) g.doubleEvent = RoundEven(5 * randomUnit());
  g.eventCount += 1;
  g.announced = 1;
  PlaySound(sound::kNewEvent);
  chooseEvent();
}

// Both applications of a cycle end its announcement and flash the backdrop.
void closeAnnouncement() {
  game.announced = 0;
  game.secondChosen = 0;
  flashBackdrop();
  game.eventTitle = {};
}

void apply() {
  closeAnnouncement();
  game.viewJitter = 0;
  // Beat 17 counts again as beat 1. Taking 16 off, rather than storing 1, keeps the
  // extra beats a late frame took.
  beatCount.fetch_sub(kApplyBeat - 1, kRelaxed);
  game.spinSpeed = 0;
  applyEvent();
}

// The second event of a cycle leaves the jitter and spin of the first running.
void applySecond() {
  closeAnnouncement();
  game.doubleEvent = 0;
  applyEvent();
}

void drawTitle(std::string_view text) {
  DuckGameMusic();
  SetBlendAlpha();
  SetColor(255, 255, 255, 255);
  DrawSprite(600, 728, pictures.eventText, 0.0f, 3.0f);
  SetBlendAdditive();
  SetColor(game.titleColour[0], game.titleColour[1], game.titleColour[2], 255);
  DrawTextCondensed(game.wallLeft + 120, 740, text, 3.0f, pictures.font);
}

}  // namespace

// Each step acts once its beat is reached and is guarded by its flag, so a beat seen for
// several frames triggers it once, and a frame that comes too late to see its beat (a
// stalled machine) still triggers it in the next one: waiting for an exact count that has
// passed would stop the events for the rest of the game. A double event's second event
// belongs to the cycle after its first (no announcement pending) and is finished before
// the next announcement, which would draw over it.
void updateEventCycle() {
  GameState& g = game;
  if (g.gameOver == 1) return;
  const int32_t beat = beatCount.load(kRelaxed);
  if (g.doubleEvent == kDoubleEvent && g.announced == 0) {
    if (beat >= kAndBeat && g.secondChosen == 0 && g.andSoundPlayed == 0) {
      g.andSoundPlayed = 1;
      PlaySound(sound::kAnd);
    }
    // Chosen at latest in the frame that applies it.
    if (beat >= kSecondAnnounceBeat && g.secondChosen == 0) {
      g.secondChosen = 1;
      g.andSoundPlayed = 0;
      chooseEvent();
    }
    if (beat >= kSecondApplyBeat) applySecond();
  }
  if (beat >= kAnnounceBeat && g.announced == 0) announce();
  if (beat >= kApplyBeat) apply();
}

void cycleTitleColour() {
  for (int k = 0; k < 3; ++k) {
    const ColourSwing& swing = kTitleSwing[k];
    int32_t& colour = game.titleColour[k];
    int32_t& falling = game.titleColourFalling[k];
    if (falling == 0) {
      colour += swing.rise;
      if (colour > swing.top) falling = 1;
    }
    if (falling == 1) {
      colour -= swing.fall;
      if (colour < swing.bottom) falling = 0;
    }
  }
}

void drawBlackHole() {
  GameState& g = game;
  if (g.blackHoleOn == 0) return;
  float& first = g.blackHoleAngle[0];
  float& second = g.blackHoleAngle[1];
  first += 3;
  if (first > 360) first = 0;
  second -= 5;
  if (second < -360) second = 0;
  SetBlendAlpha();
  SetColor(255, 255, 255, 255);
  DrawSprite(g.blackHoleX, g.blackHoleY, pictures.blackHole, first, 7.0f);
  DrawSprite(g.blackHoleX, g.blackHoleY, pictures.blackHole, second, 7.0f);
}

void drawEventTitles() {
  const GameState& g = game;
  if (g.gameOver != 0) return;
  const int32_t beat = beatCount.load(kRelaxed);
  const bool doubled = g.doubleEvent == kDoubleEvent;
  const bool titled = !g.eventTitle.empty();
  if (beat > 12 && beat < 17 && titled) drawTitle(g.eventTitle);
  if (doubled && beat > 3 && beat < 8 && titled) drawTitle(g.eventTitle);
  if (doubled && beat > 1 && beat < 4) drawTitle(kAndCaption);
}

}  // namespace fenwhit
