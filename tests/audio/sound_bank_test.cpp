// The four ways of playing an effect, the throttle and the loader, on the recording
// device.
#include "audio/sound_bank.h"

#include <gtest/gtest.h>

#include <vector>

#include "audio/recording_sound_device.h"

namespace fenwhit {
namespace {

class SoundBankTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice(&device_);
    ResetSoundBank();
    soundTable[sound::kShot].store(77);
    soundTable[sound::kBallWall].store(78);
    soundTable[sound::kNewEvent].store(79);
    soundTable[sound::kCows].store(80);
    soundTable[sound::kChicken].store(81);
  }
  void TearDown() override {
    ResetSoundBank();
    SetSoundDevice(nullptr);
  }

  // 1-based numbers of the requests that played, given a way of making request i.
  template <typename Request>
  std::vector<int> PlayedRequests(int requests, Request request) {
    std::vector<int> played;
    for (int i = 1; i <= requests; ++i) {
      const size_t before = device_.CallsOf("play").size();
      request(i);
      if (device_.CallsOf("play").size() > before) played.push_back(i);
    }
    return played;
  }

  RecordingSoundDevice device_;
};

TEST_F(SoundBankTest, BackToBackThrottledRequestsPlayEveryThirteenth) {
  const auto played = PlayedRequests(40, [](int) { PlaySoundThrottled(sound::kShot); });
  EXPECT_EQ(played, (std::vector<int>{1, 14, 27, 40}));
}

TEST_F(SoundBankTest, OneFrameBetweenThrottledRequestsPlaysEverySeventh) {
  const auto played = PlayedRequests(22, [](int i) {
    if (i > 1) LowerSoundThrottle();
    PlaySoundThrottled(sound::kShot);
  });
  EXPECT_EQ(played, (std::vector<int>{1, 8, 15, 22}));
}

TEST_F(SoundBankTest, TheEndingsThrottleOfMinusOneAlwaysPlays) {
  PlaySoundThrottled(sound::kShot);  // throttle now 12
  SetSoundThrottle(-1);
  PlaySoundThrottled(sound::kExplosion);
  EXPECT_EQ(device_.CallsOf("play").size(), 2u);
  EXPECT_EQ(SoundThrottle(), 12);
}

TEST_F(SoundBankTest, AThrottledRequestThatDoesNotPlayLeavesTheChannelAlone) {
  PlaySoundThrottled(sound::kShot);
  ASSERT_EQ(NextSoundChannel(), 1);
  PlaySoundThrottled(sound::kShot);
  PlaySoundPanned(sound::kBallWall, 300);
  EXPECT_EQ(NextSoundChannel(), 1);
  EXPECT_EQ(device_.CallsOf("play").size(), 1u);
  EXPECT_TRUE(device_.CallsOf("pan").size() == 1u);
  PlaySound(sound::kNewEvent);
  ASSERT_EQ(device_.CallsOf("play").size(), 2u);
  EXPECT_EQ(device_.CallsOf("play")[1].channel, 1);
}

TEST_F(SoundBankTest, PannedSoundsTakeAFifthOfThePositionRoundedAndNeverBelowZero) {
  const std::vector<std::pair<int32_t, int>> cases = {
      {-40, 0}, {642, 128}, {1277, 255}, {1278, 256}, {0, 0}, {2, 0}, {3, 1}, {7, 1}, {8, 2}};
  for (const auto& [x, pan] : cases) {
    device_.ClearCalls();
    SetSoundThrottle(0);
    PlaySoundPanned(sound::kBallWall, x);
    const auto calls = device_.Calls();
    ASSERT_EQ(calls.size(), 2u) << x;
    EXPECT_EQ(calls[0].op, "play");
    EXPECT_EQ(calls[0].handle, 78);
    EXPECT_EQ(calls[1].op, "pan");
    EXPECT_EQ(calls[1].channel, calls[0].channel);
    EXPECT_EQ(calls[1].value, pan) << "x = " << x;
  }
}

TEST_F(SoundBankTest, EffectsRotateThroughSixtyFourChannelsAtCentrePan) {
  for (int i = 0; i < 65; ++i) PlaySound(sound::kNewEvent);
  const auto plays = device_.CallsOf("play");
  const auto pans = device_.CallsOf("pan");
  ASSERT_EQ(plays.size(), 65u);
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(plays[i].channel, i);
    EXPECT_EQ(plays[i].handle, 79);
    EXPECT_EQ(pans[i].channel, i);
    EXPECT_EQ(pans[i].value, 128);
  }
  EXPECT_EQ(plays[64].channel, 0);
  EXPECT_EQ(NextSoundChannel(), 1);
}

TEST_F(SoundBankTest, AnnouncementsShareChannelSeventyAndTouchNothingElse) {
  PlaySound(sound::kNewEvent);
  PlaySoundThrottled(sound::kShot);
  const int32_t throttle = SoundThrottle();
  const int32_t channel = NextSoundChannel();
  PlayAnnouncement(sound::kCows);
  PlayAnnouncement(sound::kChicken);
  const auto plays = device_.CallsOf("play");
  ASSERT_EQ(plays.size(), 4u);
  EXPECT_EQ(plays[2].channel, sound::kAnnouncementChannel);
  EXPECT_EQ(plays[2].handle, 80);
  // The second starts on the same channel, so it cuts the first off.
  EXPECT_EQ(plays[3].channel, sound::kAnnouncementChannel);
  EXPECT_EQ(plays[3].handle, 81);
  EXPECT_EQ(device_.CallsOf("pan").back().channel, sound::kAnnouncementChannel);
  EXPECT_EQ(device_.CallsOf("pan").back().value, 128);
  EXPECT_EQ(SoundThrottle(), throttle);
  EXPECT_EQ(NextSoundChannel(), channel);
}

TEST_F(SoundBankTest, TheLoaderLoadsFortyTwoEffectsInItsFixedOrder) {
  StartSoundLoader("/data/");
  JoinSoundLoader();
  const std::vector<int> order = {11, 1,  14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                                  26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39,
                                  40, 41, 42, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54};
  const auto loads = device_.CallsOf("load");
  ASSERT_EQ(loads.size(), order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(loads[i].value, order[i]) << "load " << i;
    EXPECT_EQ(loads[i].path, std::string("/data/") + SoundFileName(order[i]));
    EXPECT_EQ(soundTable[order[i]].load(), loads[i].handle);
  }
  EXPECT_EQ(loads[0].path, "/data/explosion.ogg");
  EXPECT_EQ(loads[1].path, "/data/ballwall.ogg");
  EXPECT_EQ(loads.back().path, "/data/new_FeelTheBeat.ogg");
  // Streams and the selection sound are not the loader's.
  for (int id : {9, 10, 12, 43}) EXPECT_EQ(soundTable[id].load(), 0);
}

}  // namespace
}  // namespace fenwhit
