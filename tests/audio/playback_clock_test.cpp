// The stream clock between and across output buffers, with buffers asked for on time
// and in bursts, driven with chosen time stamps.
#include <gtest/gtest.h>

#include <memory>

#include "audio/mixer.h"
#include "audio/ogg_maker.h"
#include "audio/stream_feeder.h"

namespace fenwhit {
namespace {

constexpr int kRate = 44100;
constexpr int kBuffer = 512;
constexpr int64_t kMs = 1000000;
// Buffer k of a steady output is due at k * kBuffer / kRate seconds.
int64_t Due(int k) {
  return 1000 * kMs + int64_t{k} * kBuffer * 1000000000 / kRate;
}

class PlaybackClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto bytes = testing::EncodeOgg(testing::Sine(3 * kRate, 2, kRate, 440.0, 0.3), 2, kRate);
    stream_ = std::make_unique<MixerStream>(
        StreamSource::Open(std::make_unique<MemorySource>(std::move(bytes)), kRate), kRate);
    MixCommand play;
    play.op = MixCommand::Op::kPlayStream;
    play.channel = 1;
    play.stream = stream_.get();
    play.postedNs = Due(0) - Mixer::kStreamStartDelayNs;  // due to start with the first buffer
    mixer_.Post(play);
  }
  void MixAt(int64_t stampNs) {
    StreamFeeder::Fill(*stream_, SIZE_MAX);
    mixer_.Mix(out_, kBuffer, stampNs);
  }
  int64_t At(int64_t nowNs) const { return stream_->clock.FramesAt(nowNs, kRate); }

  Mixer mixer_{4};
  std::unique_ptr<MixerStream> stream_;
  int16_t out_[kBuffer * 2];
};

TEST_F(PlaybackClockTest, OnTimeBuffersGiveTheStartOfEachBufferAndRunSmoothlyBetween) {
  for (int k = 0; k < 20; ++k) {
    MixAt(Due(k));
    EXPECT_EQ(At(Due(k)), int64_t{k} * kBuffer);
    // What the clock shows was mixed a buffer ago: the output's latency counts from the
    // newest frame, this one is a buffer nearer the speaker.
    EXPECT_EQ(stream_->clock.FramesBehindMix(), kBuffer);
    for (int64_t ms = 1; ms <= 11; ++ms) {
      EXPECT_NEAR(At(Due(k) + ms * kMs), k * kBuffer + ms * kRate / 1000, 1);
    }
  }
  // A late buffer: the position waits at what has been mixed, then goes on.
  EXPECT_EQ(At(Due(25)), 20 * kBuffer);
  MixAt(Due(25));
  EXPECT_EQ(At(Due(25) + kMs), 20 * kBuffer + kRate / 1000);
}

TEST_F(PlaybackClockTest, BuffersAskedForInBurstsDoNotMakeThePositionJump) {
  // Three buffers at once every three periods, as some outputs ask for them.
  int64_t previous = 0;
  int64_t biggestStep = 0;
  for (int burst = 0; burst < 10; ++burst) {
    for (int i = 0; i < 3; ++i) MixAt(Due(3 * burst));
    for (int64_t t = Due(3 * burst); t < Due(3 * burst + 3); t += kMs / 2) {
      const int64_t now = At(t);
      ASSERT_GE(now, previous);
      ASSERT_LE(now, int64_t{3} * (burst + 1) * kBuffer);
      biggestStep = std::max(biggestStep, now - previous);
      previous = now;
    }
    EXPECT_GE(stream_->clock.FramesBehindMix(), kBuffer);
    EXPECT_LE(stream_->clock.FramesBehindMix(), 3 * kBuffer);
  }
  // Half a millisecond is 22 frames; with a stall at each burst's end it stays small.
  EXPECT_LE(biggestStep, 23);
  EXPECT_GE(previous, 29 * kBuffer);
}

TEST_F(PlaybackClockTest, ACutOffStreamStopsWhereItWasHeard) {
  MixAt(Due(0));
  MixAt(Due(1));
  MixCommand stop;
  stop.op = MixCommand::Op::kStopChannel;
  stop.channel = 1;
  mixer_.Post(stop);
  // Cut off 5 ms into the second buffer: held there, not at the end of what was mixed.
  mixer_.Mix(out_, kBuffer, Due(1) + 5 * kMs);
  EXPECT_EQ(At(Due(1) + 5 * kMs), kBuffer + 5 * kRate / 1000);
  EXPECT_EQ(At(Due(40)), kBuffer + 5 * kRate / 1000);
  EXPECT_EQ(stream_->clock.FramesBehindMix(), 0);  // held: nothing more on its way
}

TEST_F(PlaybackClockTest, APausedStreamHoldsWhereItWasHeardAndResumesWithoutSteppingBack) {
  MixAt(Due(0));
  MixAt(Due(1));
  // Paused 5 ms into the second buffer: held there while the output asks for silence.
  const int64_t held = kBuffer + 5 * kRate / 1000;
  mixer_.SetPaused(true);
  mixer_.Mix(out_, kBuffer, Due(1) + 5 * kMs);
  EXPECT_EQ(At(Due(1) + 5 * kMs), held);
  for (int k = 2; k < 30; ++k) MixAt(Due(k));
  EXPECT_EQ(At(Due(40)), held);
  EXPECT_EQ(stream_->played, 2 * kBuffer);
  // Resumed, it runs on from no further back than it was held, never past what was mixed.
  mixer_.SetPaused(false);
  MixAt(Due(30));
  EXPECT_GE(At(Due(30)), held);
  EXPECT_LE(At(Due(30)), 2 * kBuffer);
  EXPECT_EQ(At(Due(30) + 5 * kMs), At(Due(30)) + 5 * kRate / 1000);
  EXPECT_EQ(stream_->played, 3 * kBuffer);
}

}  // namespace
}  // namespace fenwhit
