// The mixer running in real time (CTest sets SDL_AUDIODRIVER=dummy, so the output is the
// silent one): smooth stream time, the beat thread over a hundred loops, and many
// threads calling in at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "audio/mixer_fixture.h"
#include "audio/music.h"
#include "audio/sound_bank.h"

namespace fenwhit {
namespace {

using Clock = std::chrono::steady_clock;
using testing::MixerFixture;

constexpr long kBeatFrames = 14700;  // 180 beats a minute at 44.1 kHz

class RealtimeMixerTest : public MixerFixture {
 protected:
  SoundHandle OpenBeatTrack() {
    // A click at the start of each loop over quiet noise.
    std::vector<float> track(kBeatFrames, 0.0f);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-0.02f, 0.02f);
    for (auto& v : track) v = noise(random);
    for (int i = 0; i < 400; ++i) track[i] = 0.8f * std::sin(i * 0.3f);
    return device_.OpenStream(WriteOgg("BPM180.ogg", track, 1, 44100));
  }
};

TEST_F(RealtimeMixerTest, StreamTimeFollowsTheRealClockAndEveryLoopStartIsSeen) {
  device_.Start(44100, 128);
  const SoundHandle beat = OpenBeatTrack();
  ASSERT_NE(beat, 0);
  device_.PlayStream(65, beat);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  // Polled about every 6 ms as the beat thread does, over ten loops. Between two polls
  // the position moves on as much as the real clock did (this test's own thread may be
  // delayed on a busy machine; the comparison allows for that, not for output buffers).
  auto lastPoll = Clock::now();
  int32_t previous = device_.StreamTime(beat);
  int loopStarts = 0;
  int seenEarly = 0;
  int tracked = 0;
  int polls = 0;
  const auto end = lastPoll + std::chrono::milliseconds(3400);
  while (Clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(6));
    const int32_t now = device_.StreamTime(beat);
    const auto pollTime = Clock::now();
    const double elapsedMs = std::chrono::duration<double, std::milli>(pollTime - lastPoll).count();
    lastPoll = pollTime;
    ASSERT_GE(now, 0);
    ASSERT_LE(now, 333);
    ++polls;
    if (now < previous) {
      ++loopStarts;
      // The loop started since the last poll: within the time that passed.
      if (now <= elapsedMs + 4) ++seenEarly;
    } else if (std::abs(now - previous - elapsedMs) <= 4) {
      ++tracked;
    }
    previous = now;
  }
  EXPECT_GE(loopStarts, 9);
  EXPECT_EQ(seenEarly, loopStarts);
  // Nearly every step matches the real clock within 4 ms; 11.6 ms output buffers
  // without interpolation would make most of them miss.
  EXPECT_GE(tracked, (polls - loopStarts) * 9 / 10) << tracked << " of " << polls - loopStarts;
}

TEST_F(RealtimeMixerTest, AStoppedStreamHoldsItsPositionInRealTime) {
  device_.Start(44100, 128);
  const SoundHandle beat = OpenBeatTrack();
  device_.PlayStream(65, beat);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  device_.StopStream(beat);
  const int32_t stoppedAt = device_.StreamTime(beat);
  EXPECT_GT(stoppedAt, 33);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(device_.StreamTime(beat), stoppedAt);
}

// Asserted: the beat thread counts 1 at once when it starts (before the track has
// played), then 1 each time the track passes its start. The track is stopped after 100
// whole loops, away from a loop start, and the count then settles at exactly one more
// than the loops the track played by its own clock: on a loaded machine this thread and
// the beat thread may run late, but neither may change what is counted.
TEST_F(RealtimeMixerTest, TheBeatThreadCountsOneBeatPerLoopOverAHundredLoops) {
  device_.Start(44100, 128);
  SetSoundDevice(&device_);
  ResetSoundBank();
  const SoundHandle beat = OpenBeatTrack();
  const SoundHandle music = device_.OpenStream(
      WriteOgg("Fenwhit.ogg", testing::Sine(30000, 2, 44100, 220.0, 0.3), 2, 44100));
  ASSERT_NE(beat, 0);
  ASSERT_NE(music, 0);
  soundTable[sound::kBeatTrack].store(beat);
  soundTable[sound::kGameMusic].store(music);
  musicVolume.store(1);
  beatStopRequest.store(0);
  beatsCounted.store(0);
  ForgetCountedBeats();
  std::thread thread(RunBeatThread);
  // As the frame loop takes them: a start seen coming is counted ahead and due when heard.
  int32_t counted = 0;
  const auto intoLoop = [](int64_t frames) { return frames % kBeatFrames; };
  const auto giveUp = Clock::now() + std::chrono::seconds(90);
  for (;;) {
    const int64_t played = device_.StreamFramesPlayed(beat);
    // Well clear of the next start, which is counted up to 100 ms before it comes.
    if (played >= 100 * kBeatFrames && intoLoop(played) > 44100 / 10 &&
        intoLoop(played) < kBeatFrames - 44100 / 5) {
      break;
    }
    if (Clock::now() > giveUp) break;
    counted += TakeBeatThreadBeats();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  device_.StopStream(beat);
  const int64_t stoppedAt = device_.StreamFramesPlayed(beat);
  // Stopped within the 33 ms after a loop start, that start may or may not count.
  const bool atAStart = intoLoop(stoppedAt) < 44100 * 40 / 1000;
  const int32_t expected = 1 + static_cast<int32_t>(stoppedAt / kBeatFrames);
  const auto settle = Clock::now() + std::chrono::seconds(5);
  while (counted < expected && Clock::now() < settle) {
    counted += TakeBeatThreadBeats();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  counted += TakeBeatThreadBeats();
  beatStopRequest.store(1);
  thread.join();
  EXPECT_GE(stoppedAt, 100 * kBeatFrames);
  if (atAStart) {
    EXPECT_TRUE(counted == expected || counted == expected - 1) << counted << " " << expected;
  } else {
    EXPECT_EQ(counted, expected);
  }
  // The thread closed the beat track; the music is the main thread's to close.
  EXPECT_EQ(device_.StreamTime(beat), -1);
  EXPECT_GE(device_.StreamTime(music), 0);
  device_.CloseStream(music);
  ResetSoundBank();
  SetSoundDevice(nullptr);
}

TEST_F(RealtimeMixerTest, ManyThreadsCallInWhileTheMixerRuns) {
  device_.Start(44100, 128);
  const std::string dir = Scratch();
  ASSERT_TRUE(testing::WriteBytes(
      dir + "effect.ogg", testing::EncodeOgg(testing::Sine(4000, 1, 44100, 880.0, 0.3), 1, 44100)));
  ASSERT_TRUE(testing::WriteBytes(
      dir + "music.ogg", testing::EncodeOgg(testing::Sine(20000, 2, 32000, 330.0, 0.3), 2, 32000)));
  const SoundHandle first = device_.LoadSample(1, dir + "effect.ogg");
  ASSERT_NE(first, 0);

  std::atomic<bool> quit{false};
  std::atomic<int> loaded{0};
  std::thread loader([&] {
    for (int i = 0; i < 20 && !quit.load(); ++i) {
      if (device_.LoadSample(i, dir + "effect.ogg") != 0) loaded.fetch_add(1);
    }
  });
  std::thread beats([&] {
    while (!quit.load()) {
      const SoundHandle stream = device_.OpenStream(dir + "music.ogg");
      device_.PlayStream(65, stream);
      for (int i = 0; i < 20; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        EXPECT_GE(device_.StreamTime(stream), 0);
      }
      device_.StopStream(stream);
      device_.CloseStream(stream);
    }
  });
  std::mt19937 random(3);
  const auto end = Clock::now() + std::chrono::milliseconds(1500);
  while (Clock::now() < end) {
    const int channel = static_cast<int>(random() % 71);
    device_.PlaySample(channel, first);
    device_.SetPan(channel, static_cast<int>(random() % 300));
    device_.SetVolume(channel, static_cast<int>(random() % 256));
    if (random() % 8 == 0) device_.StopChannel(static_cast<int>(random() % 71));
    if (random() % 16 == 0) device_.PlaySample(65, first);  // cuts the beat thread's stream
    std::this_thread::sleep_for(std::chrono::microseconds(300));
  }
  quit.store(true);
  loader.join();
  beats.join();
  EXPECT_GT(loaded.load(), 0);
}

}  // namespace
}  // namespace fenwhit
