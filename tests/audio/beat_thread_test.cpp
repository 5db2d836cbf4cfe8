// The beat thread against a scripted stream clock on the recording device.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "audio/music.h"
#include "audio/recording_sound_device.h"
#include "audio/sound_bank.h"
#include "platform/test_platform.h"

namespace fenwhit {
namespace {

using Clock = std::chrono::steady_clock;

constexpr SoundHandle kBeat = 501;
constexpr SoundHandle kMusic = 502;

// Waits for a condition, giving up (and failing) after a generous bound so a broken
// build does not hang the suite. This is no timing requirement.
template <typename Condition>
bool WaitFor(Condition condition) {
  const auto giveUp = Clock::now() + std::chrono::seconds(20);
  while (!condition()) {
    if (Clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

class BeatThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice(&device_);
    ResetSoundBank();
    soundTable[sound::kBeatTrack].store(kBeat);
    soundTable[sound::kGameMusic].store(kMusic);
    beatStopRequest.store(0);
    beatsCounted.store(0);
    musicVolume.store(1);
  }
  void TearDown() override {
    StopAndJoin();
    ResetSoundBank();
    SetSoundDevice(nullptr);
  }

  // As a game start does, the count starts from nothing.
  void StartThread() {
    beatsCounted.store(0);
    thread_ = std::thread(RunBeatThread);
  }
  void StopAndJoin() {
    if (!thread_.joinable()) return;
    beatStopRequest.store(1);
    thread_.join();
  }
  // A clock that answers the n-th poll (0-based) with script(n), and counts the polls.
  void Script(int32_t (*script)(int)) {
    device_.SetStreamClock([this, script](SoundHandle stream) {
      EXPECT_EQ(stream, kBeat);
      return script(polls_.fetch_add(1));
    });
  }

  RecordingSoundDevice device_;
  std::thread thread_;
  std::atomic<int> polls_{0};
};

TEST_F(BeatThreadTest, StartsBothStreamsAndCountsTheFirstBeatAtOnce) {
  StartThread();
  ASSERT_TRUE(WaitFor([] { return beatsCounted.load() == 1; }));
  StopAndJoin();
  const auto calls = device_.Calls();
  ASSERT_GE(calls.size(), 5u);
  EXPECT_EQ(calls[0].op, "stream_play");
  EXPECT_EQ(calls[0].channel, sound::kGameMusicChannel);
  EXPECT_EQ(calls[0].handle, kMusic);
  EXPECT_EQ(calls[1].op, "volume");
  EXPECT_EQ(calls[1].channel, sound::kGameMusicChannel);
  EXPECT_EQ(calls[1].value, 1);
  EXPECT_EQ(calls[2].op, "stream_play");
  EXPECT_EQ(calls[2].channel, sound::kBeatChannel);
  EXPECT_EQ(calls[2].handle, kBeat);
  // On the way out the beat track is stopped and closed, and the request cleared.
  EXPECT_EQ(calls[calls.size() - 2].op, "stream_stop");
  EXPECT_EQ(calls[calls.size() - 2].handle, kBeat);
  EXPECT_EQ(calls.back().op, "stream_close");
  EXPECT_EQ(calls.back().handle, kBeat);
  EXPECT_EQ(beatStopRequest.load(), 0);
}

// The fourth poll reports the position under test after three at kBefore; the track
// then stays there, or just past the window.
template <int32_t kPosition, int32_t kBefore = 100>
int32_t OnePositionAmongMidLoop(int poll) {
  if (poll < 3) return kBefore;
  return poll == 3 || kPosition >= 33 ? kPosition : 40;
}

int32_t HeldAtALoopStartThenTheNext(int poll) {
  if (poll < 3) return 100;
  if (poll < 20) return 20;
  return poll == 20 ? 40 : 10;
}

TEST_F(BeatThreadTest, PositionsFromZeroTo32OrFarBackCountAsABeat) {
  struct Case {
    int32_t (*script)(int);
    int32_t expected;
  };
  const Case cases[] = {{OnePositionAmongMidLoop<0>, 2},
                        {OnePositionAmongMidLoop<32>, 2},
                        {OnePositionAmongMidLoop<33>, 1},
                        {OnePositionAmongMidLoop<-1>, 1},
                        {OnePositionAmongMidLoop<332>, 1},
                        // A poll too late for the window: the position fell back a long way.
                        {OnePositionAmongMidLoop<60, 300>, 2},
                        // Stepping back a little is clock jitter, not a loop start.
                        {OnePositionAmongMidLoop<260, 300>, 1},
                        {OnePositionAmongMidLoop<200, 300>, 1},
                        // A track held at one loop start (paused there) counts it once,
                        // however long; it leaves the window, and the next start counts.
                        {HeldAtALoopStartThenTheNext, 3}};
  for (const Case& c : cases) {
    polls_.store(0);
    Script(c.script);
    StartThread();
    ASSERT_TRUE(WaitFor([this] { return polls_.load() >= 24; }));
    StopAndJoin();
    EXPECT_EQ(beatsCounted.load(), c.expected)
        << "position " << c.script(2) << " then " << c.script(3);
  }
}

int32_t BeatOnFirstPoll(int poll) {
  return poll == 0 ? 5 : 200;
}

TEST_F(BeatThreadTest, AStopRequestDuringTheHoldOffEndsTheThreadWithoutAnotherPoll) {
  // During the first, long hold-off: no poll at all.
  Script(BeatOnFirstPoll);
  StartThread();
  ASSERT_TRUE(WaitFor([] { return beatsCounted.load() == 1; }));
  StopAndJoin();
  EXPECT_EQ(polls_.load(), 0);
  EXPECT_EQ(beatsCounted.load(), 1);
  EXPECT_EQ(beatStopRequest.load(), 0);

  // During the hold-off after a polled beat: that poll stays the last.
  polls_.store(0);
  StartThread();
  ASSERT_TRUE(WaitFor([] { return beatsCounted.load() == 2; }));
  StopAndJoin();
  EXPECT_EQ(polls_.load(), 1);
  EXPECT_EQ(beatsCounted.load(), 2);
}

TEST_F(BeatThreadTest, APauseAtALoopStartCountsItOnceAndTheBeatGoesOnAfter) {
  // The game pauses 20 ms into a loop: from then on the device reports 20, for far
  // longer than the hold-off, without asking the track's clock.
  device_.SetStreamClock([this](SoundHandle) {
    const int poll = polls_.fetch_add(1);
    if (poll == 3) device_.SetPaused(true);
    return poll < 3 ? 100 : poll == 3 ? 20 : poll == 4 ? 40 : 10;
  });
  StartThread();
  ASSERT_TRUE(WaitFor([] { return beatsCounted.load() == 2; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(beatsCounted.load(), 2);
  EXPECT_EQ(polls_.load(), 4);
  EXPECT_EQ(device_.StreamTime(kBeat), 20);
  device_.SetPaused(false);
  ASSERT_TRUE(WaitFor([this] { return polls_.load() >= 8; }));
  StopAndJoin();
  EXPECT_EQ(beatsCounted.load(), 3);
  const auto pauses = device_.CallsOf("pause");
  ASSERT_EQ(pauses.size(), 2u);
  EXPECT_EQ(pauses[0].value, 1);
  EXPECT_EQ(pauses[1].value, 0);
}

TEST_F(BeatThreadTest, ALoopingTrackGivesOneBeatPerLoop) {
  // A track of 333 ms loops, timed by the real clock as the library's would be.
  const auto start = Clock::now();
  auto elapsedMs = [start] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  };
  device_.SetStreamClock(
      [elapsedMs](SoundHandle) { return static_cast<int32_t>(elapsedMs() % 333); });
  StartThread();
  // Five loop starts after the one at 0; stop in the middle of the sixth loop.
  ASSERT_TRUE(WaitFor([&] { return elapsedMs() >= 5 * 333 + 180; }));
  StopAndJoin();
  EXPECT_EQ(beatsCounted.load(), 6);
}

TEST_F(BeatThreadTest, GameStartAndEndFollowTheirSequences) {
  TestPlatform platform;
  SetPlatform(&platform);
  musicVolume.store(255);
  StartGameMusic("/data/BPM180.ogg", "/data/Fenwhit.ogg");
  EXPECT_EQ(musicVolume.load(), 1);
  EXPECT_TRUE(BeatThreadRunning());
  ASSERT_TRUE(WaitFor([] { return beatsCounted.load() == 1; }));
  StopBeatTrack();
  RequestBeatStop();
  CloseGameMusic();
  EXPECT_EQ(beatStopRequest.load(), 0);
  EXPECT_GE(platform.SleptMs(), 100);

  const auto calls = device_.Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[0].op, "stop");
  EXPECT_EQ(calls[0].channel, sound::kGameMusicChannel);
  EXPECT_EQ(calls[1].op, "open");
  EXPECT_EQ(calls[1].path, "/data/BPM180.ogg");
  EXPECT_EQ(calls[2].op, "open");
  EXPECT_EQ(calls[2].path, "/data/Fenwhit.ogg");
  const SoundHandle beat = calls[1].handle;
  const SoundHandle music = calls[2].handle;
  EXPECT_EQ(soundTable[sound::kBeatTrack].load(), beat);
  EXPECT_EQ(soundTable[sound::kGameMusic].load(), music);
  // The beat track: stopped once by the loss of the last ball and once more by the
  // thread, then closed by the thread; the music last, by the main thread.
  const auto stops = device_.CallsOf("stream_stop");
  const auto closes = device_.CallsOf("stream_close");
  ASSERT_EQ(stops.size(), 3u);
  EXPECT_EQ(stops[0].handle, beat);
  EXPECT_EQ(stops[1].handle, beat);
  EXPECT_EQ(stops[2].handle, music);
  ASSERT_EQ(closes.size(), 2u);
  EXPECT_EQ(closes[0].handle, beat);
  EXPECT_EQ(closes[1].handle, music);
  EXPECT_EQ(calls.back().op, "stream_close");
  SetPlatform(nullptr);
}

TEST_F(BeatThreadTest, AStaleStopRequestDoesNotEndTheNextGamesThread) {
  TestPlatform platform;
  SetPlatform(&platform);
  device_.SetStreamClock([this](SoundHandle) {
    polls_.fetch_add(1);
    return 200;
  });
  beatStopRequest.store(1);
  StartGameMusic("/data/BPM180.ogg", "/data/Fenwhit.ogg");
  ASSERT_TRUE(WaitFor([this] { return polls_.load() >= 2; }));
  EXPECT_TRUE(BeatThreadRunning());
  RequestBeatStop();
  SetPlatform(nullptr);
}

// A virtual clock the beat thread sleeps on in lockstep with a frame loop the test runs:
// each sleep ends only once the loop has moved the clock to its end.
std::atomic<int64_t> virtualNowMs{0};
std::atomic<int64_t> sleeperWakesAtMs{-1};  // -1: the beat thread is awake

int64_t VirtualNow() {
  return virtualNowMs.load();
}

void SleepVirtually(int milliseconds) {
  const int64_t wake = virtualNowMs.load() + milliseconds;
  sleeperWakesAtMs.store(wake);
  while (virtualNowMs.load() < wake) std::this_thread::yield();
  sleeperWakesAtMs.store(-1);
}

// A beat mixed at once, another on the first poll (at 166 ms), none after.
int32_t BeatOnFirstPollOnly(int poll) {
  return poll == 0 ? 10 : 200;
}

TEST_F(BeatThreadTest, TheFrameLoopTakesABeatWhenItIsHeardNotWhenItIsMixed) {
  struct Case {
    int latencyMs;
    int offsetMs;
    int64_t firstTakenMs;  // the second start was 10 ms before its poll at 166 ms
  };
  const Case cases[] = {{0, 0, 0},       {40, 0, 40},   {40, 25, 65},
                        {40, -30, 10},   {40, -300, 0},    // never before it was mixed
                        {250, 300, 550}, {40, 900, 340}};  // the offset held at 300
  SetBeatSleep(SleepVirtually);
  SetBeatClock(VirtualNow);
  for (const Case& c : cases) {
    ForgetCountedBeats();
    virtualNowMs.store(0);
    polls_.store(0);
    Script(BeatOnFirstPollOnly);
    device_.SetOutputLatencyMs(c.latencyMs);
    SetAvOffsetMs(c.offsetMs);
    std::atomic<bool> finished{false};
    thread_ = std::thread([&finished] {
      RunBeatThread();
      finished.store(true);
    });
    // The frame loop: a frame a millisecond, each once the beat thread sleeps.
    std::vector<int64_t> taken;
    for (; virtualNowMs.load() <= 600; virtualNowMs.fetch_add(1)) {
      while (!finished.load() && sleeperWakesAtMs.load() <= virtualNowMs.load()) {
        std::this_thread::yield();
      }
      for (int32_t n = TakeBeatThreadBeats(); n > 0; --n) taken.push_back(virtualNowMs.load());
    }
    beatStopRequest.store(1);
    while (!finished.load()) virtualNowMs.fetch_add(1);
    thread_.join();
    const std::vector<int64_t> heard = {c.firstTakenMs,
                                        std::max<int64_t>(166, c.firstTakenMs + 156)};
    const std::vector<int64_t> expected(heard.begin(), heard.begin() + (heard[1] <= 600 ? 2 : 1));
    EXPECT_EQ(taken, expected) << "latency " << c.latencyMs << ", offset " << c.offsetMs;
    // A new game drops the beats still on their way.
    ForgetCountedBeats();
    virtualNowMs.store(5000);
    EXPECT_EQ(TakeBeatThreadBeats(), 0);
  }
  SetAvOffsetMs(0);
  SetBeatClock(nullptr);
  SetBeatSleep(nullptr);
}

// A beat track of 333 ms loops playing from virtual time 0, as a device that counts loops
// reports it.
void PlayLoopsFromZero(RecordingSoundDevice& device) {
  device.SetStreamClock([](SoundHandle) { return static_cast<int32_t>(VirtualNow() % 333); });
  device.SetStreamLoops([](SoundHandle) { return VirtualNow() / 333; }, 333);
}

// Runs the beat thread and a frame loop that takes beats every virtual millisecond up to
// `untilMs`, calling `at(ms)` first; returns when beats were taken.
template <typename At>
std::vector<int64_t> TakenUntil(int64_t untilMs, At at) {
  std::atomic<bool> finished{false};
  std::thread thread([&finished] {
    RunBeatThread();
    finished.store(true);
  });
  std::vector<int64_t> taken;
  for (; virtualNowMs.load() <= untilMs; virtualNowMs.fetch_add(1)) {
    while (!finished.load() && sleeperWakesAtMs.load() <= virtualNowMs.load()) {
      std::this_thread::yield();
    }
    at(virtualNowMs.load());
    for (int32_t n = TakeBeatThreadBeats(); n > 0; --n) taken.push_back(virtualNowMs.load());
  }
  beatStopRequest.store(1);
  while (!finished.load()) virtualNowMs.fetch_add(1);
  thread.join();
  return taken;
}

// The track's own time when the game is paused from 600 to 900 ms of virtual time.
constexpr int64_t kPauseFromMs = 600;
constexpr int64_t kPauseToMs = 900;
int64_t PausedTrackMs() {
  const int64_t now = VirtualNow();
  return now < kPauseFromMs ? now : std::max(kPauseFromMs, now - (kPauseToMs - kPauseFromMs));
}

TEST_F(BeatThreadTest, ALoopStartSeenComingIsTakenForTheFrameShownAsItIsHeard) {
  struct Case {
    int latencyMs;
    int leadMs;  // from taking a beat to showing its frame, and half a frame
    std::vector<int64_t> taken;
  };
  // Each start once, at start + latency - lead: never before the thread began, and
  // counted ahead far enough for the longest lead the frames may report.
  const Case cases[] = {{0, 0, {0, 333, 666, 999}},
                        {40, 0, {40, 373, 706}},
                        {40, 30, {10, 343, 676}},
                        {0, 20, {0, 313, 646, 979}},
                        {0, 90, {0, 243, 576, 909}}};
  SetBeatSleep(SleepVirtually);
  SetBeatClock(VirtualNow);
  PlayLoopsFromZero(device_);
  for (const Case& c : cases) {
    ForgetCountedBeats();
    virtualNowMs.store(0);
    device_.SetOutputLatencyMs(c.latencyMs);
    SetPresentLeadMs(c.leadMs);
    EXPECT_EQ(TakenUntil(1000, [](int64_t) {}), c.taken)
        << "latency " << c.latencyMs << ", lead " << c.leadMs;
  }
  // The last ball lost just before a start that was counted ahead: that start never comes,
  // and no beat shows for it.
  ForgetCountedBeats();
  virtualNowMs.store(0);
  device_.SetOutputLatencyMs(40);
  SetPresentLeadMs(0);
  const std::vector<int64_t> taken = TakenUntil(500, [](int64_t now) {
    if (now == 300) StopBeatTrack();
  });
  EXPECT_EQ(taken, std::vector<int64_t>{40});
  // Paused from 600 to 900 ms: the track stands still, and the start at 666 ms of it, counted
  // ahead before the pause, is heard 300 ms later, not as soon as the game goes on.
  ForgetCountedBeats();
  virtualNowMs.store(0);
  device_.SetStreamClock([](SoundHandle) { return static_cast<int32_t>(PausedTrackMs() % 333); });
  device_.SetStreamLoops([](SoundHandle) { return PausedTrackMs() / 333; }, 333);
  const std::vector<int64_t> paused = TakenUntil(1100, [](int64_t now) {
    if (now == kPauseFromMs) HoldHeardBeats();
    if (now == kPauseToMs) ReleaseHeardBeats();
  });
  EXPECT_EQ(paused, (std::vector<int64_t>{40, 373, 1006}));
  ForgetCountedBeats();
  SetPresentLeadMs(0);
  SetBeatClock(nullptr);
  SetBeatSleep(nullptr);
}

}  // namespace
}  // namespace fenwhit
