// Flashes counted on the frames a game in play really draws (offscreen OpenGL, the game's
// batched renderer), a beat every twenty frames: three a second at 60 frames a second.
#include "feel/presented_flashes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/pictures.h"
#include "audio/music.h"
#include "common/calm_flashes.h"
#include "events/event_effects.h"
#include "events/forced_events.h"
#include "game/balls.h"
#include "game/frame_loop.h"
#include "game/game_state.h"
#include "gfx/batch_renderer.h"
#include "gfx/renderer.h"
#include "support/game_in_play.h"
#include "support/gl_fixture.h"

namespace fenwhit {
namespace {

class EveryTwentyFrames final : public BeatSource {
 public:
  int32_t TakeBeats() override { return ++frames_ % 20 == 0 ? 1 : 0; }

 private:
  int frames_ = 0;
};

class PresentedFlashesTest : public testing::GlTest {
 protected:
  // Plays `frames` frames of a game set up by `setUp` and gives the most flashes in any
  // second.
  int MostFlashes(bool calm, int frames, const std::function<void()>& setUp) {
    calmFlashes = calm;
    PresentedFlashes watched(*platform_, 1.0 / 60);
    BatchRenderer batched(watched);
    SetRenderer(&batched);
    batched.SetUpWindow(kWidth, kHeight);
    const std::string assets = std::string(FENWHIT_SOURCE_DIR) + "/assets/";
    LoadMenuPicture(assets);
    LoadOtherPictures(assets);
    StartGameInPlay(11);
    game.fadeLevel = 0;
    setUp();
    EveryTwentyFrames beats;
    SetBeatSource(&beats);
    for (int i = 0; i < frames && runFrame(); ++i) {
    }
    SetBeatSource(nullptr);
    ForceEventsInTurn({});
    pictures = Pictures{};
    SetRenderer(renderer_.get());
    calmFlashes = false;
    EXPECT_EQ(watched.Frames(), frames);
    return watched.MostFlashesInOneSecond();
  }
  // Four seconds late in a game, its backdrop tinted and waving, where `event` is
  // announced on the first beat and applied four beats later, after the events in
  // `before` were applied.
  int EventStretch(int32_t event, bool calm, const std::vector<void (*)()>& before) {
    return MostFlashes(calm, 240, [&] {
      spawnBall(600, 300);  // the game goes on: the paddle covers the whole goal
      for (auto effect : before) effect();
      game.eventCount = 20;
      beatCount = 12;
      ForceEventsInTurn({event});
    });
  }
};

constexpr int32_t kFeelTheBeat = 42;
constexpr int32_t kXenonLights = 43;

TEST_F(PresentedFlashesTest, FeelTheBeatFlashesThreeTimesASecondAndOnceAtMostWhenCalm) {
  const int full = MostFlashes(false, 150, effects::feelTheBeat);
  const int calm = MostFlashes(true, 150, effects::feelTheBeat);
  const int plain = MostFlashes(false, 150, [] {});
  std::printf("most flashes in a second: FEEL THE BEAT %d full, %d calm; without it %d\n", full,
              calm, plain);
  EXPECT_EQ(full, 3);
  EXPECT_LE(calm, 1);
  EXPECT_LE(plain, 1);
}

TEST_F(PresentedFlashesTest, EventsThatFlashAreCalmedToOnceASecond) {
  struct Stretch {
    const char* name;
    int32_t event;
    std::vector<void (*)()> before;
  };
  const Stretch stretches[] = {
      {"FEEL THE BEAT", kFeelTheBeat, {}},
      {"XENON LIGHTS on the beat", kXenonLights, {effects::feelTheBeat}},
  };
  for (const Stretch& stretch : stretches) {
    const int full = EventStretch(stretch.event, false, stretch.before);
    const int calm = EventStretch(stretch.event, true, stretch.before);
    std::printf("%s: %d full, %d calm\n", stretch.name, full, calm);
    EXPECT_GE(full, 2) << stretch.name;
    EXPECT_LE(calm, 1) << stretch.name;
  }
}

}  // namespace
}  // namespace fenwhit
