// The six volume steps of the title and game music and their bounds.
#include <gtest/gtest.h>

#include <functional>

#include "audio/music.h"
#include "audio/recording_sound_device.h"
#include "audio/sound_ids.h"

namespace fenwhit {
namespace {

class MusicVolumeTest : public ::testing::Test {
 protected:
  void SetUp() override { SetSoundDevice(&device_); }
  void TearDown() override { SetSoundDevice(nullptr); }

  // Runs step from `from`; returns the new value and checks that SetVolume was called
  // on `channel` exactly when the value changed.
  int32_t Step(std::atomic<int32_t>& volume, int32_t from, void (*step)(), int channel) {
    volume.store(from);
    device_.ClearCalls();
    step();
    const int32_t to = volume.load();
    const auto calls = device_.CallsOf("volume");
    if (to == from) {
      EXPECT_TRUE(calls.empty()) << "no change, yet SetVolume was called";
    } else {
      EXPECT_EQ(calls.size(), 1u);
      if (!calls.empty()) {
        EXPECT_EQ(calls[0].channel, channel);
        EXPECT_EQ(calls[0].value, to);
      }
    }
    EXPECT_EQ(device_.Calls().size(), device_.CallsOf("volume").size()) << "only SetVolume";
    return to;
  }

  RecordingSoundDevice device_;
};

TEST_F(MusicVolumeTest, TitleMusicFadesOneStepWithinZeroTo250) {
  const int title = sound::kTitleMusicChannel;
  EXPECT_EQ(Step(menuVolume, 1, FadeTitleMusicUp, title), 2);
  EXPECT_EQ(Step(menuVolume, 249, FadeTitleMusicUp, title), 250);
  EXPECT_EQ(Step(menuVolume, 250, FadeTitleMusicUp, title), 250);
  EXPECT_EQ(Step(menuVolume, 1, FadeTitleMusicDown, title), 0);
  EXPECT_EQ(Step(menuVolume, 0, FadeTitleMusicDown, title), 0);
}

TEST_F(MusicVolumeTest, GameMusicFadesOneStepAndItsStartValueOf255IsAboveTheTop) {
  const int game = sound::kGameMusicChannel;
  EXPECT_EQ(Step(musicVolume, 1, FadeGameMusicUp, game), 2);
  EXPECT_EQ(Step(musicVolume, 250, FadeGameMusicUp, game), 250);
  EXPECT_EQ(Step(musicVolume, 255, FadeGameMusicUp, game), 255);
  EXPECT_EQ(Step(musicVolume, 255, FadeGameMusicDown, game), 254);
  EXPECT_EQ(Step(musicVolume, 0, FadeGameMusicDown, game), 0);
}

TEST_F(MusicVolumeTest, DuckingLowersByTwentyOnlyAboveSixty) {
  const int game = sound::kGameMusicChannel;
  EXPECT_EQ(Step(musicVolume, 61, DuckGameMusic, game), 41);
  EXPECT_EQ(Step(musicVolume, 60, DuckGameMusic, game), 60);
  EXPECT_EQ(Step(musicVolume, 250, DuckGameMusic, game), 230);
  EXPECT_EQ(Step(musicVolume, 0, DuckGameMusic, game), 0);
}

TEST_F(MusicVolumeTest, RaisingAddsThirtyUpTo250) {
  const int game = sound::kGameMusicChannel;
  EXPECT_EQ(Step(musicVolume, 41, RaiseGameMusic, game), 71);
  EXPECT_EQ(Step(musicVolume, 220, RaiseGameMusic, game), 250);
  EXPECT_EQ(Step(musicVolume, 240, RaiseGameMusic, game), 250);
  EXPECT_EQ(Step(musicVolume, 250, RaiseGameMusic, game), 250);
  EXPECT_EQ(Step(musicVolume, 255, RaiseGameMusic, game), 255);
}

TEST_F(MusicVolumeTest, TitleMusicStartsAlmostSilentOnChannel67) {
  OpenTitleMusic("/data/rallointro.ogg");
  StartTitleMusic();
  const auto calls = device_.Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].op, "open");
  EXPECT_EQ(calls[0].path, "/data/rallointro.ogg");
  EXPECT_EQ(calls[1].op, "stream_play");
  EXPECT_EQ(calls[1].channel, sound::kTitleMusicChannel);
  EXPECT_EQ(calls[1].handle, calls[0].handle);
  EXPECT_EQ(calls[2].op, "volume");
  EXPECT_EQ(calls[2].channel, sound::kTitleMusicChannel);
  EXPECT_EQ(calls[2].value, 1);
  EXPECT_EQ(menuVolume.load(), 1);
}

}  // namespace
}  // namespace fenwhit
