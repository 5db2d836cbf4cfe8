#include "audio/music.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>
#include <utility>

#include "audio/heard_beats.h"
#include "audio/sound_bank.h"
#include "audio/sound_device.h"
#include "audio/thread_priority.h"
#include "platform/platform.h"

namespace fenwhit {

std::atomic<int32_t> menuVolume{0};
std::atomic<int32_t> musicVolume{0};
std::atomic<int32_t> beatCount{0};
std::atomic<int32_t> beatFlash{0};
std::atomic<int32_t> beatsCounted{0};
std::atomic<int32_t> beatStopRequest{0};

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
std::thread beatThread;

void SetChannelVolume(std::atomic<int32_t>& volume, int32_t value, int channel) {
  volume.store(value, kRelaxed);
  TheSoundDevice().SetVolume(channel, value);
}

SoundHandle Handle(int id) {
  return soundTable[id].load(std::memory_order_acquire);
}

void SleepReal(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int64_t SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::atomic<BeatSleep> beatSleep{SleepReal};
std::atomic<BeatClock> beatClock{SteadyMs};
std::atomic<int> avOffsetMs{0};
std::atomic<int> presentLeadMs{0};
HeardBeats heardBeats;
constexpr int64_t kNotHeld = INT64_MIN;
std::atomic<int64_t> heardBeatsHeldAtMs{kNotHeld};  // the main thread's
BeatSource* beatSource = nullptr;            // the main thread's
GameMusicChoice* gameMusicChoice = nullptr;  // the main thread's
GameSong gameSong;                           // the main thread's
// Set when the last ball is lost: a song plays on, but its beats no longer count.
std::atomic<bool> songBeatsStopped{false};

void BeatThreadSleep(int milliseconds) {
  beatSleep.load(kRelaxed)(milliseconds);
}

// How long after the stream's clock shows a point of it that point is heard, asked at
// each count: what the clock runs behind the mix changes as the output asks for sound.
int64_t HeardAfterMs(SoundDevice& device, SoundHandle stream) {
  return HeardDelayMs(device.StreamLatencyMs(stream), avOffsetMs.load(kRelaxed));
}

// Beats whose start the stream's clock shows `startInMs` from now (negative: passed)
// reach the frame loop when they are heard; with no delay at all they go straight on,
// as they always did.
void CountBeats(int32_t beats, int64_t startInMs, int64_t heardAfterMs) {
  const int64_t dueInMs = startInMs + heardAfterMs;
  if (dueInMs <= 0) {
    beatsCounted.fetch_add(beats, kRelaxed);
  } else {
    heardBeats.Add(beats, beatClock.load(kRelaxed)() + dueInMs);
  }
}

// A beat this near is counted before it comes, so that the frame which shows it
// can be drawn while the kick is still on its way to the speaker.
constexpr int32_t kCountAheadMs = 100;

bool CountsAhead(int32_t position, int32_t loopMs) {
  const int32_t window = std::min(kCountAheadMs, loopMs / 3);
  return loopMs > 0 && position >= 0 && position < loopMs && loopMs - position <= window;
}

constexpr int32_t kBeatWindowMs = 33;
// Far more than the stream clock ever steps back between two mixed buffers.
constexpr int32_t kMissedStartDropMs = 100;

// A loop start lies between the previous poll and this one: the position is in the
// window just after it, or, when a loaded machine woke the thread too late for the
// window, the position has fallen back a long way since the previous poll.
bool PassedLoopStart(int32_t position, int32_t previous) {
  if (position < 0) return false;
  if (position < kBeatWindowMs) return true;
  return previous >= 0 && previous - position > kMissedStartDropMs;
}

// One loop start counts once, in stream time: after a count, positions in the window
// belong to the same start until a poll has seen the track leave it. The wall-clock
// hold-off alone does not do: a paused track stands still in the window for as long
// as the pause lasts.
class LoopStartLatch {
 public:
  bool Counts(int32_t position, int32_t previous) {
    if (counted_ && position >= 0 && position < kBeatWindowMs) return false;
    if (PassedLoopStart(position, previous)) {
      counted_ = true;
      return true;
    }
    if (position >= kBeatWindowMs) counted_ = false;
    return false;
  }

 private:
  bool counted_ = false;
};

}  // namespace

void FadeTitleMusicDown() {
  const int32_t v = menuVolume.load(kRelaxed);
  if (v > 0) SetChannelVolume(menuVolume, v - 1, sound::kTitleMusicChannel);
}

void FadeTitleMusicUp() {
  const int32_t v = menuVolume.load(kRelaxed);
  if (v < 250) SetChannelVolume(menuVolume, v + 1, sound::kTitleMusicChannel);
}

void FadeGameMusicDown() {
  const int32_t v = musicVolume.load(kRelaxed);
  if (v > 0) SetChannelVolume(musicVolume, v - 1, sound::kGameMusicChannel);
}

void FadeGameMusicUp() {
  const int32_t v = musicVolume.load(kRelaxed);
  if (v < 250) SetChannelVolume(musicVolume, v + 1, sound::kGameMusicChannel);
}

void DuckGameMusic() {
  const int32_t v = musicVolume.load(kRelaxed);
  if (v > 60) SetChannelVolume(musicVolume, v - 20, sound::kGameMusicChannel);
}

void RaiseGameMusic() {
  const int32_t v = musicVolume.load(kRelaxed);
  if (v < 250) SetChannelVolume(musicVolume, v + 30 > 250 ? 250 : v + 30, sound::kGameMusicChannel);
}

void OpenTitleMusic(const std::string& path) {
  soundTable[sound::kTitleMusic].store(TheSoundDevice().OpenStream(path));
}

void StartTitleMusic() {
  TheSoundDevice().PlayStream(sound::kTitleMusicChannel, Handle(sound::kTitleMusic));
  menuVolume.store(1, kRelaxed);
  TheSoundDevice().SetVolume(sound::kTitleMusicChannel, 1);
}

void RunBeatThread() {
  int32_t beatPosition = 0;
  int32_t previousPosition = -1;
  int64_t loopsPlayed = 0;
  int64_t loopsCounted = 0;
  SoundDevice& device = TheSoundDevice();
  const SoundHandle music = Handle(sound::kGameMusic);
  const SoundHandle beat = Handle(sound::kBeatTrack);
  const int32_t loopMs = device.StreamLoopMs(beat);
  device.PlayStream(sound::kGameMusicChannel, music);
  device.SetVolume(sound::kGameMusicChannel, musicVolume.load(kRelaxed));
  device.PlayStream(sound::kBeatChannel, beat);
  bool first = true;
  LoopStartLatch latch;
  for (;;) {
    // The first beat comes before the track has been read, so it latches nothing. A
    // device that counts loops says how many starts passed since the last count, so a
    // thread woken a loop late still counts every one; otherwise the window decides.
    int32_t passed = 1;
    // A start just passed was shown beatPosition ago; the first has just been asked for.
    int32_t startInMs = first ? 0 : -std::max(beatPosition, 0);
    if (!first) {
      if (loopsPlayed >= 0) {
        passed = loopsPlayed > loopsCounted ? static_cast<int32_t>(loopsPlayed - loopsCounted) : 0;
        loopsCounted = std::max(loopsCounted, loopsPlayed);
        if (passed == 0 && loopsCounted == loopsPlayed && CountsAhead(beatPosition, loopMs)) {
          passed = 1;
          ++loopsCounted;
          startInMs = loopMs - beatPosition;
        }
      } else {
        passed = latch.Counts(beatPosition, previousPosition) ? 1 : 0;
      }
    }
    if (passed > 0) {
      CountBeats(passed, startInMs, HeardAfterMs(device, beat));
      // Hold off past the detection window so one loop start counts once.
      bool stop = false;
      for (int step = first ? 16 : 7; step > 0; --step) {
        if (beatStopRequest.load(kRelaxed) == 1) {
          stop = true;
          break;
        }
        BeatThreadSleep(10);
      }
      first = false;
      if (stop) break;
    }
    previousPosition = beatPosition;
    BeatThreadSleep(6);
    beatPosition = device.StreamTime(beat);
    loopsPlayed = device.StreamLoops(beat);
    if (beatStopRequest.load(kRelaxed) == 1) break;
  }
  device.StopStream(beat);
  device.CloseStream(beat);
  beatStopRequest.store(0, kRelaxed);
}

void RunSongBeatThread(BeatCounter& counter) {
  SoundDevice& device = TheSoundDevice();
  const SoundHandle song = Handle(sound::kGameMusic);
  device.PlayStream(sound::kGameMusicChannel, song);
  device.SetVolume(sound::kGameMusicChannel, musicVolume.load(kRelaxed));
  // The counter knows the beats it slept through, so no poll needs a hold-off.
  while (beatStopRequest.load(kRelaxed) != 1) {
    const CountedBeats counted = counter.CountAhead(kCountAheadMs / 1000.0);
    if (counted.beats > 0 && !songBeatsStopped.load(kRelaxed)) {
      CountBeats(counted.beats, std::llround(counted.startInSeconds * 1000.0),
                 HeardAfterMs(device, song));
    }
    BeatThreadSleep(6);
  }
  beatStopRequest.store(0, kRelaxed);
}

namespace {

template <typename Body>
void StartBeatThread(Body body) {
  musicVolume.store(1, kRelaxed);
  songBeatsStopped.store(false, kRelaxed);
  if (beatThread.joinable()) beatThread.join();
  // A stop request left over with no thread to take it would end the new one at once.
  beatStopRequest.store(0, kRelaxed);
  beatThread = std::thread([body = std::move(body)]() mutable {
    // A poll that comes a whole loop late loses a beat.
    RaiseThisThread(ThreadUrgency::kAhead);
    body();
  });
}

}  // namespace

void StartGameMusic(const std::string& beatPath, const std::string& musicPath) {
  SoundDevice& device = TheSoundDevice();
  device.StopChannel(sound::kGameMusicChannel);
  soundTable[sound::kBeatTrack].store(device.OpenStream(beatPath));
  soundTable[sound::kGameMusic].store(device.OpenStream(musicPath));
  StartBeatThread([] { RunBeatThread(); });
}

void StartSongGameMusic(SoundHandle song, std::unique_ptr<BeatCounter> counter) {
  TheSoundDevice().StopChannel(sound::kGameMusicChannel);
  soundTable[sound::kBeatTrack].store(0);
  soundTable[sound::kGameMusic].store(song);
  StartBeatThread([counter = std::shared_ptr<BeatCounter>(std::move(counter))] {
    if (counter) RunSongBeatThread(*counter);
  });
}

void SetGameMusicChoice(GameMusicChoice* choice) {
  gameMusicChoice = choice;
}

void StartChosenGameMusic(const std::string& beatPath, const std::string& musicPath) {
  gameSong = {};
  if (gameMusicChoice != nullptr && gameMusicChoice->StartGameMusic()) return;
  StartGameMusic(beatPath, musicPath);
}

void SetGameSong(GameSong song) {
  gameSong = std::move(song);
}

GameSong CurrentGameSong() {
  return gameSong;
}

void StopBeatTrack() {
  songBeatsStopped.store(true, kRelaxed);
  // A start counted ahead will not come now, and a lost game takes no more beats.
  heardBeats.Stop();
  TheSoundDevice().StopStream(Handle(sound::kBeatTrack));
}

void RequestBeatStop() {
  beatStopRequest.store(1, kRelaxed);
  ThePlatform().SleepMs(100);
  // The thread ends within about 16 ms of the request; waiting for it makes the
  // order certain even where the sleep above is only virtual (tests).
  if (beatThread.joinable()) beatThread.join();
}

void CloseGameMusic() {
  const SoundHandle music = Handle(sound::kGameMusic);
  TheSoundDevice().StopStream(music);
  TheSoundDevice().CloseStream(music);
  if (gameMusicChoice != nullptr) gameMusicChoice->GameMusicClosed();
}

bool BeatThreadRunning() {
  return beatThread.joinable();
}

BeatSource* CurrentBeatSource() {
  return beatSource;
}

void SetBeatSource(BeatSource* source) {
  beatSource = source;
}

int32_t TakeBeats() {
  if (beatSource != nullptr) return beatSource->TakeBeats();
  return TakeBeatThreadBeats();
}

int32_t TakeBeatThreadBeats() {
  // A beat heard before the frame drawn next is shown goes with that frame; none is heard
  // while the game is paused.
  const bool held = heardBeatsHeldAtMs.load(kRelaxed) != kNotHeld;
  const int32_t heard =
      held ? 0 : heardBeats.Take(beatClock.load(kRelaxed)() + presentLeadMs.load(kRelaxed));
  return heard + beatsCounted.exchange(0, kRelaxed);
}

void ForgetCountedBeats() {
  beatsCounted.store(0, kRelaxed);
  heardBeats.Clear();
}

void HoldHeardBeats() {
  heardBeatsHeldAtMs.store(beatClock.load(kRelaxed)(), kRelaxed);
}

void ReleaseHeardBeats() {
  const int64_t heldAt = heardBeatsHeldAtMs.exchange(kNotHeld, kRelaxed);
  if (heldAt != kNotHeld) heardBeats.Delay(beatClock.load(kRelaxed)() - heldAt);
}

void SetBeatSleep(BeatSleep sleep) {
  beatSleep.store(sleep != nullptr ? sleep : SleepReal, kRelaxed);
}

void SetBeatClock(BeatClock clock) {
  beatClock.store(clock != nullptr ? clock : SteadyMs, kRelaxed);
}

void SetAvOffsetMs(int offsetMs) {
  avOffsetMs.store(offsetMs, kRelaxed);
}

void SetPresentLeadMs(int leadMs) {
  presentLeadMs.store(std::max(leadMs, 0), kRelaxed);
}

int AvOffsetMs() {
  return avOffsetMs.load(kRelaxed);
}

}  // namespace fenwhit
