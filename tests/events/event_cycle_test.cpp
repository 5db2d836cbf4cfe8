// The beat-driven cycle: which events are drawn, when they are announced, shown and
// applied, double events and the "NO WAY!" cancel.
#include "events/event_cycle.h"

#include <set>

#include "events/event_apply.h"
#include "events/event_catalogue.h"
#include "events/event_choice.h"
#include "events/forced_events.h"
#include "game/frame_input.h"
#include "game/game_fixture.h"

namespace fenwhit {
namespace {

class EventCycleTest : public GameTest {
 protected:
  // One frame's cycle step at the given beat.
  void At(int32_t beat) {
    beatCount.store(beat);
    updateEventCycle();
  }
  // Beats from..to, each seen by two frames as at 60 frames per second.
  void Beats(int32_t from, int32_t to) {
    for (int32_t beat = from; beat <= to; ++beat) {
      At(beat);
      if (beatCount.load() == beat) At(beat);
    }
  }
  // Number of glyph regions drawn (every title character is one).
  int Glyphs() const { return static_cast<int>(renderer.CallsOf("region").size()); }
};

TEST_F(EventCycleTest, DrawsFollowThePlanThenTheWholeCatalogue) {
  std::set<int32_t> early;
  for (int i = 0; i < 400; ++i) {
    early.insert(drawEventNumber(1));
    early.insert(drawEventNumber(2));
    EXPECT_EQ(drawEventNumber(3), 2);
    EXPECT_EQ(drawEventNumber(4), 1);
    EXPECT_EQ(drawEventNumber(5), 10);
    const int32_t sixth = drawEventNumber(6);
    EXPECT_TRUE(sixth >= 1 && sixth <= 3) << sixth;
    EXPECT_EQ(drawEventNumber(7), 10);
  }
  EXPECT_EQ(early, (std::set<int32_t>{0, 1, 2, 3}));

  // From the eighth on: every number with an event, never one without, and the five
  // disruptive ones kept to 3/16 of their draws plus what a redraw lands on.
  constexpr int kDraws = 100000;
  std::set<int32_t> seen;
  int disruptive = 0;
  for (int i = 0; i < kDraws; ++i) {
    const int32_t e = drawEventNumber(8 + i % 40);
    ASSERT_NE(findEvent(e), nullptr) << e;
    seen.insert(e);
    disruptive += e >= 27 && e <= 31;
  }
  EXPECT_EQ(seen.size(), 42u);
  const double expected = kDraws * 5.0 / 49 * (3.0 / 16 + 13.0 / 16 * 5.0 / 49);
  EXPECT_NEAR(disruptive, expected, 260);
}

TEST_F(EventCycleTest, ForcedEventsComeInTurnAndLeaveTheRandomDrawsAsTheyWere) {
  const auto every = ParseForcedEvents("all");
  ASSERT_TRUE(every.has_value());
  EXPECT_EQ(every->size(), 42u);
  EXPECT_EQ(every->front(), 0);
  EXPECT_EQ(every->back(), kLastEventNumber);
  EXPECT_EQ(ParseForcedEvents("42,9"), (std::vector<int32_t>{42, 9}));
  for (const char* bad : {"", "33", "50", "-1", "9,", ",9", "9,,41", "9 ", "x", "4x"}) {
    EXPECT_FALSE(ParseForcedEvents(bad).has_value()) << bad;
  }

  // Unforced, then forced from the same seed: the forced events come round in turn and
  // the game's next random number is the same.
  auto choices = [](int count) {
    std::vector<int32_t> events;
    for (int i = 0; i < count; ++i) {
      game.eventCount = 10 + i;
      chooseEvent();
      events.push_back(game.eventNumber);
    }
    return events;
  };
  seedRandom(5);
  choices(3);
  const double unforcedNext = randomUnit();
  seedRandom(5);
  ForceEventsInTurn({42, 9});
  EXPECT_EQ(choices(3), (std::vector<int32_t>{42, 9, 42}));
  EXPECT_EQ(game.eventTitle, "FEEL THE BEAT");
  EXPECT_EQ(randomUnit(), unforcedNext);
  ForceEventsInTurn({});
  game.eventCount = 3;
  chooseEvent();
  EXPECT_EQ(game.eventNumber, 2);
}

TEST_F(EventCycleTest, CatalogueTitlesAndTheAutoRotationAliases) {
  EXPECT_EQ(findEvent(0)->title, "...........");
  EXPECT_EQ(findEvent(18)->title, "EXTRA.... WALL?");
  EXPECT_EQ(findEvent(47)->title, "!! ARENA EXPAND !!");
  EXPECT_EQ(findEvent(33), nullptr);
  EXPECT_EQ(findEvent(40), nullptr);
  EXPECT_EQ(findEvent(kCancelledEvent), nullptr);
  for (int32_t e : {16, 48, 49}) {
    EXPECT_EQ(findEvent(e)->title, "AUTO-ROTATION");
    game.spinSpeed = 0;
    game.eventNumber = e;
    applyEvent();
    EXPECT_FLOAT_EQ(game.spinSpeed, 0.4f);
  }
}

TEST_F(EventCycleTest, OneCycleAnnouncesShowsAndApplies) {
  game.eventCount = 3;  // the next announcement is the fourth: "EXTRA BALL"
  Beats(1, 12);
  EXPECT_EQ(audio.CallsOf("play").size(), 0u);
  Beats(13, 13);
  EXPECT_EQ(game.eventCount, 4);
  EXPECT_EQ(game.eventNumber, 1);
  EXPECT_EQ(game.eventTitle, "EXTRA BALL");
  EXPECT_EQ(Plays(sound::kNewEvent), 1);
  EXPECT_EQ(Plays(sound::kExtraBall), 1);
  EXPECT_EQ(audio.CallsOf("play").back().channel, sound::kAnnouncementChannel);
  EXPECT_FLOAT_EQ(game.waveAmplitudeTarget, 20 + 11);

  // Shown on beats 13 to 16 only, ducking the music in each of those frames.
  musicVolume.store(250);
  for (int32_t beat : {12, 13, 16, 17}) {
    renderer.ClearCalls();
    beatCount.store(beat);
    drawEventTitles();
    const int expected = beat > 12 && beat < 17 ? 10 : 0;
    EXPECT_EQ(Glyphs(), expected) << "beat " << beat;
  }
  EXPECT_EQ(musicVolume.load(), 250 - 2 * 20);

  game.viewJitter = 1;
  game.spinSpeed = 0.4f;
  At(17);
  EXPECT_EQ(beatCount.load(), 1);
  EXPECT_EQ(countBalls().normalBallCount, 1);
  EXPECT_TRUE(game.eventTitle.empty());
  EXPECT_EQ(game.viewJitter, 0);
  EXPECT_EQ(game.spinSpeed, 0);
  EXPECT_EQ(game.bgColour[0], 255);
  EXPECT_EQ(game.announced, 0);

  // Once the game is over nothing is announced or shown.
  game.gameOver = 1;
  Beats(2, 16);
  EXPECT_EQ(game.eventCount, 4);
  game.eventTitle = "EXTRA BALL";
  beatCount.store(14);
  renderer.ClearCalls();
  drawEventTitles();
  EXPECT_EQ(Glyphs(), 0);
}

TEST_F(EventCycleTest, DoubleEventsComeFromTheSixthAnnouncementAndStack) {
  int doubles = 0;
  for (int cycle = 1; cycle <= 60; ++cycle) {
    Beats(cycle == 1 ? 1 : 2, 17);
    if (game.eventCount <= 5) {
      EXPECT_EQ(game.doubleEvent, 0) << "announcement " << game.eventCount;
    }
    if (game.doubleEvent == 4) ++doubles;
    game.doubleEvent = 0;
  }
  EXPECT_GT(doubles, 4);
  EXPECT_LT(doubles, 24);

  // A double event: AND at beat 2, a second announcement at 4 without counting, its
  // application at 8, and the first event's spin kept running.
  audio.ClearCalls();
  const int32_t count = game.eventCount;
  game.doubleEvent = 4;
  game.eventNumber = 16;
  game.announced = 1;
  At(17);
  EXPECT_FLOAT_EQ(game.spinSpeed, 0.4f);
  renderer.ClearCalls();
  At(2);
  At(2);
  drawEventTitles();
  EXPECT_EQ(Plays(sound::kAnd), 1);
  EXPECT_EQ(Glyphs(), 8);  // "     AND"
  At(4);
  At(4);
  EXPECT_EQ(Plays(sound::kNewEvent), 0);
  EXPECT_EQ(game.eventCount, count);
  EXPECT_FALSE(game.eventTitle.empty());
  game.eventNumber = 48;
  Beats(5, 8);
  EXPECT_EQ(beatCount.load(), 8);
  EXPECT_EQ(game.doubleEvent, 0);
  EXPECT_FLOAT_EQ(game.spinSpeed, 0.8f);
  EXPECT_TRUE(game.eventTitle.empty());
}

TEST_F(EventCycleTest, AFrameTooLateForItsBeatStillTakesTheStep) {
  // The beats 13 and 17 pass while the machine stalls.
  game.eventCount = 3;
  Beats(1, 12);
  At(14);
  EXPECT_EQ(game.eventCount, 4);
  EXPECT_EQ(Plays(sound::kNewEvent), 1);
  At(19);
  EXPECT_EQ(beatCount.load(), 3);
  EXPECT_EQ(countBalls().normalBallCount, 1);
  EXPECT_EQ(game.announced, 0);
  Beats(3, 12);
  At(18);
  EXPECT_EQ(game.eventCount, 5);
  EXPECT_EQ(beatCount.load(), 2);

  // A double event's second choice and application, both late, in order.
  game.doubleEvent = 4;
  game.secondChosen = 0;
  game.andSoundPlayed = 0;
  const float period = game.wavePeriod[0];
  At(3);
  At(9);
  EXPECT_EQ(Plays(sound::kAnd), 1);
  EXPECT_EQ(game.secondChosen, 0);  // reset by the second application
  EXPECT_EQ(game.doubleEvent, 0);
  EXPECT_NE(game.wavePeriod[0], period);
  EXPECT_EQ(game.eventCount, 5);
  EXPECT_EQ(beatCount.load(), 9);

  // A stall from a double event's first application past the next announcement: the
  // second event still sounds its AND, is chosen and applied, before that announcement.
  Beats(10, 13);
  game.doubleEvent = 4;
  At(17);
  audio.ClearCalls();
  const float firstPeriod = game.wavePeriod[0];
  At(15);
  EXPECT_NE(game.wavePeriod[0], firstPeriod);
  EXPECT_EQ(game.eventCount, 7);
  EXPECT_EQ(game.announced, 1);
  const auto plays = audio.CallsOf("play");
  ASSERT_GE(plays.size(), 2u);
  EXPECT_EQ(plays.front().handle, HandleOf(sound::kAnd));
  EXPECT_EQ(Plays(sound::kAnd), 1);
  EXPECT_EQ(Plays(sound::kNewEvent), 1);
}

TEST_F(EventCycleTest, TheFourteenthAnnouncementStraightensTheView) {
  game.eventCount = 13;
  game.zoomTarget = 0.3;
  game.tiltTarget = 135;
  Beats(1, 13);
  EXPECT_EQ(game.eventCount, 14);
  EXPECT_DOUBLE_EQ(game.zoomTarget, 1.0);
  EXPECT_EQ(game.tiltTarget, 0);
}

TEST_F(EventCycleTest, ACancelledEventStillEndsTheOneCycleModes) {
  game.eventCount = 3;
  Beats(1, 13);
  game.slowFrames = 1;
  game.ballsFrozen = 1;
  game.squeezeYTarget = 0.42;
  const float period = game.wavePeriod[0];
  // Space during the title replaces it; the application then changes nothing else.
  platform.Press(scan::kSpace);
  game.cancelLatch = 0;
  cancelEvent(0);
  EXPECT_EQ(game.eventTitle, "      NO WAY!");
  renderer.ClearCalls();
  drawEventTitles();
  EXPECT_EQ(Glyphs(), 13);
  At(17);
  EXPECT_EQ(countBalls().normalBallCount, 0);
  EXPECT_EQ(game.slowFrames, 0);
  EXPECT_EQ(game.ballsFrozen, 0);
  EXPECT_EQ(game.squeezeYTarget, 0);
  EXPECT_NE(game.wavePeriod[0], period);

  // A cancel between titles uses one up; the next announcement overwrites it.
  platform.Release(scan::kSpace);
  cancelEvent(0);
  platform.Press(scan::kSpace);
  cancelEvent(0);
  EXPECT_EQ(game.cancels, 0);
  Beats(2, 13);
  EXPECT_EQ(game.eventNumber, 10);
  EXPECT_EQ(game.eventTitle, "OBSTACLES");
}

TEST_F(EventCycleTest, TitleColourAndTheBlackHoleTurnAtTheirBounds) {
  // Near the top, rising: a turn takes the rise and the first fall in one frame.
  const int32_t top[3] = {248, 240, 241};
  for (int k = 0; k < 3; ++k) {
    game.titleColour[k] = top[k];
    game.titleColourFalling[k] = 0;
  }
  cycleTitleColour();
  EXPECT_EQ(game.titleColour[0], 249);
  EXPECT_EQ(game.titleColour[1], 243);
  EXPECT_EQ(game.titleColour[2], 239);
  // Near the bottom, falling: the turn shows in the next frame.
  const int32_t bottom[3] = {121, 133, 170};
  for (int k = 0; k < 3; ++k) game.titleColour[k] = bottom[k];
  cycleTitleColour();
  EXPECT_EQ(game.titleColour[0], 118);
  EXPECT_EQ(game.titleColour[1], 129);
  EXPECT_EQ(game.titleColour[2], 165);
  cycleTitleColour();
  EXPECT_EQ(game.titleColour[0], 122);
  EXPECT_EQ(game.titleColour[1], 136);
  EXPECT_EQ(game.titleColour[2], 168);
  // Landing on a bound is not yet past it.
  game.titleColour[0] = 246;
  game.titleColour[2] = 173;
  game.titleColourFalling[0] = 0;
  game.titleColourFalling[2] = 1;
  cycleTitleColour();
  EXPECT_EQ(game.titleColour[0], 250);
  EXPECT_EQ(game.titleColour[2], 168);
  cycleTitleColour();
  EXPECT_EQ(game.titleColour[0], 251);
  EXPECT_EQ(game.titleColour[2], 163);

  // The black hole's two layers turn 3 degrees one way and 5 the other, back to 0
  // only once past a whole turn.
  game.blackHoleOn = 1;
  for (int frame = 0; frame < 121; ++frame) drawBlackHole();
  const auto sprites = renderer.CallsOf("sprite");
  ASSERT_EQ(sprites.size(), 2u * 121);
  EXPECT_FLOAT_EQ(sprites[2 * 119].floats[0], 360.0f);
  EXPECT_FLOAT_EQ(sprites[2 * 120].floats[0], 0.0f);
  EXPECT_FLOAT_EQ(sprites[2 * 71 + 1].floats[0], -360.0f);
  EXPECT_FLOAT_EQ(sprites[2 * 72 + 1].floats[0], 0.0f);
  EXPECT_FLOAT_EQ(sprites[2 * 73 + 1].floats[0], -5.0f);
}

}  // namespace
}  // namespace fenwhit
