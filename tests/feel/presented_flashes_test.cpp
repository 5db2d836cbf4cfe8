// Flashes counted on the frames a game in play really draws (offscreen OpenGL, the game's
// batched renderer), a beat every twenty frames: three a second at 60 frames a second.
#include "feel/presented_flashes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/pictures.h"
#include "audio/music.h"
#include "common/calm_flashes.h"
#include "events/event_effects.h"
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
  // Plays `frames` frames of a game and gives the most flashes in any second.
  int MostFlashes(bool feelTheBeat, bool calm, int frames) {
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
    if (feelTheBeat) effects::feelTheBeat();
    EveryTwentyFrames beats;
    SetBeatSource(&beats);
    for (int i = 0; i < frames && runFrame(); ++i) {
    }
    SetBeatSource(nullptr);
    pictures = Pictures{};
    SetRenderer(renderer_.get());
    calmFlashes = false;
    EXPECT_EQ(watched.Frames(), frames);
    return watched.MostFlashesInOneSecond();
  }
};

TEST_F(PresentedFlashesTest, FeelTheBeatFlashesThreeTimesASecondAndOnceAtMostWhenCalm) {
  const int full = MostFlashes(true, false, 150);
  const int calm = MostFlashes(true, true, 150);
  const int plain = MostFlashes(false, false, 150);
  std::printf("most flashes in a second: FEEL THE BEAT %d full, %d calm; without it %d\n", full,
              calm, plain);
  EXPECT_EQ(full, 3);
  EXPECT_LE(calm, 1);
  EXPECT_LE(plain, 1);
}

}  // namespace
}  // namespace fenwhit
