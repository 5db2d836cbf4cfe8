// Streams through the mixer, rendered offline: sample-exact looping, position within
// the loop, stop, close and cut-off.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/mixer_fixture.h"
#include "audio/music.h"
#include "audio/sound_bank.h"
#include "audio/stream_feeder.h"

namespace fenwhit {
namespace {

using testing::MixerFixture;

// A tone whose period does not divide the loop, so a seam in the wrong place shows.
std::vector<float> Tone(long frames, int rate) {
  auto tone = testing::Sine(frames, 2, rate, 523.0, 0.4);
  for (long i = 0; i < frames; ++i) tone[2 * i + 1] *= 0.5f;
  return tone;
}

class MixerStreamTest : public MixerFixture {
 protected:
  // The tone's peak at volume 1.
  static constexpr int kQuietest = 13107 / 255 + 2;
  static int Loudest(const std::vector<int16_t>& out) {
    int loudest = 0;
    for (int16_t v : out) loudest = std::max(loudest, std::abs(v));
    return loudest;
  }
  SoundHandle Open(long frames, int rate = 44100) {
    const SoundHandle stream =
        device_.OpenStream(WriteOgg("tone.ogg", Tone(frames, rate), 2, rate));
    EXPECT_NE(stream, 0);
    return stream;
  }
  // First index at which out differs from itself `period` frames later, or -1.
  static long FirstBreak(const std::vector<int16_t>& out, long period, long frames) {
    for (long i = 0; i < 2 * frames; ++i) {
      if (out[i] != out[i + 2 * period]) return i / 2;
    }
    return -1;
  }
};

TEST_F(MixerStreamTest, ALoopOfNFramesRepeatsEveryNFrames) {
  for (long frames : {14700L, 4096L, 1000L}) {
    const SoundHandle stream = Open(frames);
    device_.PlayStream(65, stream);
    const auto out = Render(static_cast<int>(3 * frames + 50));
    EXPECT_EQ(FirstBreak(out, frames, 2 * frames + 50), -1) << frames;
    // The loop is the tone itself: it starts at once, at full level, in phase.
    const auto tone = Tone(frames, 44100);
    double dot = 0.0, norm = 0.0, ref = 0.0;
    for (long i = 0; i < frames; ++i) {
      dot += out[2 * i] * static_cast<double>(tone[2 * i]);
      norm += static_cast<double>(out[2 * i]) * out[2 * i];
      ref += static_cast<double>(tone[2 * i]) * tone[2 * i];
    }
    EXPECT_GT(dot / std::sqrt(norm * ref), 0.99) << frames;
    EXPECT_NEAR(std::sqrt(norm / frames), 0.4 * 32767 / std::sqrt(2.0), 200);
    // The right channel is the tone's own, at half the level.
    for (long i = 100; i < 110; ++i) EXPECT_NEAR(out[2 * i + 1], out[2 * i] / 2, 400) << i;
    device_.CloseStream(stream);
  }
}

TEST_F(MixerStreamTest, AStreamAtAnotherRateLoopsSeamlesslyAtTheMixingRate) {
  const SoundHandle stream = Open(7350, 22050);
  device_.PlayStream(66, stream);
  const auto out = Render(3 * 14700 + 50);
  EXPECT_EQ(FirstBreak(out, 14700, 2 * 14700 + 50), -1);
  EXPECT_EQ(device_.StreamTime(stream), 50 * 1000 / 44100);
  EXPECT_EQ(device_.StreamLoops(stream), 3);
  // Within a loop the tone stays smooth across the decoder's blocks: at 523 Hz and this
  // level it changes by under 1000 from one frame to the next.
  int steepest = 0;
  for (long i = 1; i < 14600; ++i)
    steepest = std::max(steepest, std::abs(out[2 * i] - out[2 * i - 2]));
  EXPECT_LT(steepest, 1100);
}

TEST_F(MixerStreamTest, StreamTimeIsTheMillisecondWithinTheCurrentLoop) {
  const SoundHandle stream = Open(14700);
  EXPECT_EQ(device_.StreamTime(stream), 0);
  device_.PlayStream(65, stream);
  Render(441);
  EXPECT_EQ(device_.StreamTime(stream), 10);
  Render(14700 - 441 - 1);
  EXPECT_EQ(device_.StreamTime(stream), 333);
  EXPECT_EQ(device_.StreamLoops(stream), 0);
  Render(1);
  EXPECT_EQ(device_.StreamTime(stream), 0);
  EXPECT_EQ(device_.StreamLoops(stream), 1);
  Render(14700 + 1411);
  EXPECT_EQ(device_.StreamTime(stream), 31);
  EXPECT_EQ(device_.StreamLoops(stream), 2);
  Render(45);
  EXPECT_EQ(device_.StreamTime(stream), 33);
  EXPECT_EQ(device_.StreamFramesPlayed(stream), 2 * 14700 + 1456);
}

TEST_F(MixerStreamTest, AStoppedStreamFallsSilentAndKeepsItsPosition) {
  const SoundHandle stream = Open(14700);
  device_.PlayStream(65, stream);
  Render(14700 + 4410);
  device_.StopStream(stream);
  EXPECT_EQ(device_.StreamTime(stream), 100);
  EXPECT_TRUE(AllZero(Render(20000)));
  EXPECT_EQ(device_.StreamTime(stream), 100);
  device_.StopStream(stream);
  EXPECT_EQ(device_.StreamTime(stream), 100);
  // Played again, it goes on from there.
  device_.PlayStream(65, stream);
  Render(441);
  EXPECT_EQ(device_.StreamTime(stream), 110);
}

TEST_F(MixerStreamTest, AStreamStoppedAtItsLoopStartReportsNoFurtherStarts) {
  const SoundHandle stream = Open(14700);
  device_.PlayStream(65, stream);
  Render(14700 + 882);
  EXPECT_EQ(device_.StreamTime(stream), 20);
  device_.StopStream(stream);
  // Under 33 ms would count as a beat at every poll of the stopped track.
  EXPECT_EQ(device_.StreamTime(stream), 33);
  Render(20000);
  EXPECT_EQ(device_.StreamTime(stream), 33);
  device_.PlayStream(65, stream);
  Render(441);
  EXPECT_EQ(device_.StreamTime(stream), 30);
}

TEST_F(MixerStreamTest, ChannelVolumeAppliesToStreamsAndAStreamStartsAtIt) {
  const SoundHandle stream = Open(14700);
  device_.PlayStream(67, stream);
  device_.SetVolume(67, 0);
  EXPECT_TRUE(AllZero(Render(1000)));
  device_.SetVolume(67, 1);
  EXPECT_LE(Loudest(Render(1000)), kQuietest);
  EXPECT_GT(Loudest(Render(1000)), 0);
  device_.PlayStream(67, stream);
  EXPECT_LE(Loudest(Render(1000)), kQuietest);
  device_.SetVolume(67, 255);
  EXPECT_GT(Loudest(Render(1000)), 10000);
}

TEST_F(MixerStreamTest, AStreamWaitsInRealTimeForTheVolumeSetRightAfterItsStart) {
  // The mixing thread may take a buffer between starting a stream and setting its volume.
  Mixer mixer(4);
  MixerStream stream(
      StreamSource::Open(FileSource::Open(WriteOgg("tone.ogg", Tone(14700, 44100), 2, 44100)),
                         44100),
      44100);
  StreamFeeder::Fill(stream, 8192);
  std::vector<int16_t> out(2 * 1024);
  constexpr int64_t kStart = int64_t{1} << 40;  // any steady-clock time
  mixer.Post({MixCommand::Op::kPlayStream, 2, 0, nullptr, &stream, kStart});
  mixer.Mix(out.data(), 1024, kStart + Mixer::kStreamStartDelayNs - 1);
  EXPECT_TRUE(AllZero(out));
  EXPECT_EQ(stream.played, 0);
  mixer.Post({MixCommand::Op::kVolume, 2, 1, nullptr, nullptr, kStart + 1});
  mixer.Mix(out.data(), 1024, kStart + Mixer::kStreamStartDelayNs);
  EXPECT_GT(Loudest(out), 0);
  EXPECT_LE(Loudest(out), kQuietest);
}

TEST_F(MixerStreamTest, SamplesAndStreamsCutEachOtherOff) {
  const SoundHandle stream = Open(14700);
  device_.PlayStream(10, stream);
  Render(441);
  device_.PlaySample(10, device_.AddSample(std::vector<int16_t>(100, 1234)));
  device_.SetPan(10, 0);
  auto out = Render(200);
  EXPECT_EQ(out[0], 1234);
  EXPECT_EQ(out[1], 0);
  EXPECT_TRUE(AllZero(out, 200));
  // The stream was cut off where it was.
  EXPECT_EQ(device_.StreamTime(stream), 10);

  // A stream started on another channel leaves the first one.
  device_.PlayStream(10, stream);
  Render(441);
  device_.PlayStream(11, stream);
  device_.StopChannel(10);
  out = Render(1000);
  EXPECT_FALSE(AllZero(out));
  EXPECT_EQ(device_.StreamTime(stream), (882 + 1000) * 1000 / 44100);
  device_.StopChannel(11);
  EXPECT_TRUE(AllZero(Render(1000)));
}

TEST_F(MixerStreamTest, AClosedStreamIsForgottenWhilePlaying) {
  const SoundHandle stream = Open(14700);
  const SoundHandle other = Open(1000);
  device_.PlayStream(65, stream);
  device_.PlayStream(66, other);
  device_.SetVolume(66, 0);
  Render(1000);
  device_.CloseStream(stream);
  EXPECT_EQ(device_.StreamTime(stream), -1);
  EXPECT_TRUE(AllZero(Render(5000)));
  device_.PlayStream(65, stream);
  device_.StopStream(stream);
  device_.CloseStream(stream);
  EXPECT_TRUE(AllZero(Render(5000)));
  EXPECT_EQ(device_.StreamTime(other), 11000 % 1000 * 1000 / 44100);
  // Handles are not reused.
  EXPECT_NE(Open(1000), stream);
}

// The beat thread's sleeps play the track instead of waiting, and every fifth poll
// comes a loop and a half late, as on a machine that hands the thread its core late.
// Every loop start must count all the same: one at the start, then one per loop.
MixerSoundDevice* lateDevice = nullptr;
int64_t lateRendered = 0;
int latePolls = 0;
constexpr int64_t kLateTarget = 40 * 14700 + 5000;

void SleepPlayingTheTrack(int milliseconds) {
  if (lateRendered >= kLateTarget) {
    beatStopRequest.store(1);
    return;
  }
  int frames = milliseconds * 441 / 10;
  if (milliseconds == 6 && ++latePolls % 5 == 0) frames = 14700 * 3 / 2;
  std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
  lateDevice->RenderOffline(out.data(), frames);
  lateRendered += frames;
}

TEST_F(MixerStreamTest, TheBeatThreadCountsEveryLoopStartItSleptThrough) {
  SetSoundDevice(&device_);
  ResetSoundBank();
  const SoundHandle beat = Open(14700);
  soundTable[sound::kBeatTrack].store(beat);
  beatStopRequest.store(0);
  beatsCounted.store(0);
  lateDevice = &device_;
  ForgetCountedBeats();
  SetBeatSleep(SleepPlayingTheTrack);
  RunBeatThread();
  SetBeatSleep(nullptr);
  // Every beat counted, however far ahead of the clock it is due.
  SetBeatClock([] { return int64_t{1} << 40; });
  const int32_t taken = TakeBeatThreadBeats();
  SetBeatClock(nullptr);
  ResetSoundBank();
  SetSoundDevice(nullptr);
  EXPECT_GE(lateRendered, kLateTarget);
  const int64_t starts = 1 + lateRendered / 14700;
  // A start less than 100 ms past what was played may already be counted, ahead.
  const bool startComing = lateRendered % 14700 >= 14700 - 4410;
  EXPECT_TRUE(taken == starts || (startComing && taken == starts + 1))
      << taken << " beats for " << starts << " starts";
}

}  // namespace
}  // namespace fenwhit
