// A player's song streamed through the mixer: every format heard with its beats in
// place, files that cannot play, files that change under a playing song, and its beats
// counted from the song's play position, offline and by the beat thread in real time.
#include "songs/song_stream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <thread>

#include "audio/mixer_fixture.h"
#include "audio/music.h"
#include "audio/recording_sound_device.h"
#include "audio/sound_bank.h"
#include "platform/test_platform.h"
#include "songs/song_beat_counter.h"
#include "songs/song_maker.h"

namespace fenwhit {
namespace {

using Clock = std::chrono::steady_clock;
using testing::BurstsAt;
using testing::MixerFixture;
using testing::WriteSong;

constexpr int kRate = MixerSoundDevice::kDefaultRate;
constexpr int kChannel = sound::kGameMusicChannel;
const std::vector<double> kBeats = {0.1, 0.6, 1.1};
constexpr double kSongSeconds = 1.5;

BeatTimes SongBeats() {
  BeatTimes beats;
  beats.tempo = 120;
  beats.beats = kBeats;
  return beats;
}

class SongStreamTest : public MixerFixture {
 protected:
  std::string MakeSong(const std::string& name, int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
    const std::string path = Scratch() + name;
    EXPECT_TRUE(WriteSong(path, BurstsAt(kBeats, kSongSeconds), format)) << name;
    return path;
  }
  SoundHandle PlaySong(const std::string& path) {
    const OpenedSong song = OpenSong(device_, path);
    EXPECT_NE(song.stream, 0) << path << ": " << song.error;
    device_.PlayStream(kChannel, song.stream);
    device_.SetVolume(kChannel, 255);
    return song.stream;
  }
  // Where the bursts start in a render, in seconds: each first loud frame after a quiet
  // stretch of at least a tenth of a second.
  static std::vector<double> BurstStarts(const std::vector<int16_t>& render) {
    std::vector<double> starts;
    long quiet = kRate;
    for (size_t frame = 0; frame < render.size() / 2; ++frame) {
      if (std::abs(render[2 * frame]) > 2000) {
        if (quiet >= kRate / 10) starts.push_back(static_cast<double>(frame) / kRate);
        quiet = 0;
      } else {
        ++quiet;
      }
    }
    return starts;
  }
};

TEST_F(SongStreamTest, EveryFormatPlaysResampledWithItsBeatsInPlaceLoopAfterLoop) {
  struct Format {
    const char* name;
    int format;
    int rate;
  };
  const Format formats[] = {
      {"song.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, testing::kSongRate},
      {"song.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, testing::kSongRate},
      {"song.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, testing::kSongRate},
      {"song.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 48000},
  };
  for (const auto& [name, format, rate] : formats) {
    const std::string path = Scratch() + name;
    ASSERT_TRUE(WriteSong(path, BurstsAt(kBeats, kSongSeconds, rate), format, rate)) << name;
    const OpenedSong song = OpenSong(device_, path);
    ASSERT_NE(song.stream, 0) << name << ": " << song.error;
    EXPECT_NEAR(song.seconds, kSongSeconds, 1.0 / testing::kSongRate) << name;
    device_.PlayStream(kChannel, song.stream);
    device_.SetVolume(kChannel, 255);
    // Two loops at 44.1 kHz: the bursts fall on the beats both times.
    const std::vector<double> starts =
        BurstStarts(Render(static_cast<int>(2 * kSongSeconds * kRate)));
    ASSERT_EQ(starts.size(), 6u) << name;
    for (size_t i = 0; i < starts.size(); ++i) {
      EXPECT_NEAR(starts[i], kBeats[i % 3] + (i / 3) * kSongSeconds, 0.004) << name << " " << i;
    }
    device_.StopStream(song.stream);
    device_.CloseStream(song.stream);
    Render(4096);  // lets the mixer release it
  }
}

TEST_F(SongStreamTest, AStereoSongKeepsItsSides) {
  // Bursts on the left only, at the song's beats; the right side stays silent.
  const std::vector<float> left = BurstsAt(kBeats, kSongSeconds);
  std::vector<float> stereo(left.size() * 2, 0.0f);
  for (size_t i = 0; i < left.size(); ++i) stereo[2 * i] = left[i];
  const std::string path = Scratch() + "left.flac";
  ASSERT_TRUE(WriteSong(path, stereo, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, testing::kSongRate, 2));
  PlaySong(path);
  const auto render = Render(static_cast<int>(kSongSeconds * kRate));
  EXPECT_EQ(BurstStarts(render).size(), 3u);
  int16_t loudestRight = 0;
  for (size_t i = 1; i < render.size(); i += 2) {
    loudestRight = std::max<int16_t>(loudestRight, static_cast<int16_t>(std::abs(render[i])));
  }
  EXPECT_EQ(loudestRight, 0);
}

TEST_F(SongStreamTest, FilesThatCannotPlayAreRefusedWithAReasonAtOnce) {
  const std::string dir = Scratch();
  scratch_.WriteFile("words.mp3", std::vector<uint8_t>(5000, 'x'));
  scratch_.WriteFile("empty.flac", {});
  const std::string wav = MakeSong("whole.wav");
  std::filesystem::copy_file(wav, dir + "cut.wav");
  std::filesystem::resize_file(dir + "cut.wav", 30);  // within the header
  ASSERT_EQ(mkfifo((dir + "pipe.ogg").c_str(), 0600), 0);
  // An Ogg Vorbis song with a damaged comment header (libsndfile leaks memory on it; a
  // sanitizer build of this test sees the leak if such a song ever reaches it).
  const std::string ogg = MakeSong("whole.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS);
  std::vector<uint8_t> bytes = testing::ReadFileBytes(ogg);
  const auto second = std::search(bytes.begin() + 4, bytes.end(), "OggS", "OggS" + 4);
  ASSERT_LT(second + 40, bytes.end());
  second[40] ^= 0x03;
  scratch_.WriteFile("damaged.ogg", bytes);
  for (const std::string name :
       {"missing.wav", "words.mp3", "empty.flac", "cut.wav", "", "pipe.ogg", "damaged.ogg"}) {
    // A named pipe must not wait for a writer: the song is refused at once.
    auto opened = std::async(std::launch::async, [&] { return OpenSong(device_, dir + name); });
    if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      ADD_FAILURE() << name << " hangs";
      std::FILE* writer = std::fopen((dir + name).c_str(), "w");  // lets it go
      if (writer != nullptr) std::fclose(writer);
    }
    const OpenedSong song = opened.get();
    EXPECT_EQ(song.stream, 0) << name;
    EXPECT_FALSE(song.error.empty()) << name;
  }
}

TEST_F(SongStreamTest, ASongDeletedWhilePlayingPlaysOnAndOneCutShortEndsInSilence) {
  const std::string deleted = MakeSong("deleted.wav");
  PlaySong(deleted);
  Render(kRate / 5);
  ASSERT_TRUE(std::filesystem::remove(deleted));
  // The open file goes on being read: its second and third loops are heard whole.
  const auto later = Render(static_cast<int>(2 * kSongSeconds * kRate));
  EXPECT_EQ(BurstStarts(later).size(), 6u);
  device_.StopChannel(kChannel);

  const std::string cut = MakeSong("cut.wav");
  const SoundHandle stream = PlaySong(cut);
  Render(kRate / 5);
  std::filesystem::resize_file(cut, 0);
  // What was decoded ahead still plays, then the stream ends: silence, no crash.
  const auto rest = Render(4 * kRate);
  EXPECT_TRUE(AllZero(rest, rest.size() - 2 * kRate));
  device_.StopStream(stream);
  device_.CloseStream(stream);
}

TEST_F(SongStreamTest, TheCounterCountsEachBeatAsTheSongPlaysItOrAheadSayingWhenItComes) {
  const SoundHandle stream = PlaySong(MakeSong("counted.wav"));
  SongBeatCounter counter(device_, stream, SongBeatGrid(SongBeats(), kSongSeconds));
  SongBeatCounter ahead(device_, stream, SongBeatGrid(SongBeats(), kSongSeconds));
  std::vector<double> countedAt;
  std::vector<double> aheadAt;
  std::vector<double> aheadComes;
  constexpr int kStep = kRate / 100;
  for (int step = 0; step <= 300; ++step) {
    const double now = step / 100.0;
    for (int32_t n = counter.Count(); n > 0; --n) countedAt.push_back(now);
    const CountedBeats seen = step < 300 ? ahead.CountAhead(0.1) : CountedBeats{};
    ASSERT_LE(seen.beats, 1);
    if (seen.beats == 1) {
      aheadAt.push_back(now);
      aheadComes.push_back(now + seen.startInSeconds);
    }
    Render(kStep);
  }
  // Within the 10 ms between polls after each beat, on through the loop to the next.
  const std::vector<double> expected = {0.1, 0.6, 1.1, 1.6, 2.1, 2.6};
  ASSERT_EQ(countedAt.size(), expected.size());
  ASSERT_EQ(aheadAt.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(countedAt[i], expected[i] + 0.005, 0.0051);
    // Counted a tenth of a second early, each says exactly when it will play.
    EXPECT_NEAR(aheadAt[i], expected[i] - 0.1 + 0.005, 0.0051);
    EXPECT_NEAR(aheadComes[i], expected[i], 1e-3);
  }
}

// The beat thread, woken as the system pleases, counts exactly the beats the song's own
// clock passed.
TEST_F(SongStreamTest, TheBeatThreadCountsTheSongsBeatsInRealTime) {
  device_.Start(kRate, 128);
  SetSoundDevice(&device_);
  ResetSoundBank();
  const OpenedSong song = OpenSong(device_, MakeSong("live.wav"));
  ASSERT_NE(song.stream, 0);
  soundTable[sound::kGameMusic].store(song.stream);
  musicVolume.store(1);
  beatStopRequest.store(0);
  ForgetCountedBeats();
  SongBeatCounter counter(device_, song.stream, SongBeatGrid(SongBeats(), song.seconds));
  std::thread thread([&] { RunSongBeatThread(counter); });
  const auto giveUp = Clock::now() + std::chrono::seconds(60);
  // Stopped mid-way between two beats, on the third loop.
  while (device_.StreamSecondsPlayed(song.stream) < 2 * kSongSeconds + 0.3 &&
         Clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  device_.StopStream(song.stream);
  const double stoppedAt = device_.StreamSecondsPlayed(song.stream);
  // Counted up to a tenth of a second ahead, each is taken once it is heard.
  int32_t taken = 0;
  const auto settle = Clock::now() + std::chrono::seconds(5);
  while (taken < 7 && Clock::now() < settle) {
    taken += TakeBeatThreadBeats();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  taken += TakeBeatThreadBeats();
  EXPECT_GE(stoppedAt, 3.3);
  EXPECT_LT(stoppedAt, 3.5) << "the test thread woke too late to check the count";
  EXPECT_EQ(taken, 7);
  beatStopRequest.store(1);
  thread.join();
  EXPECT_EQ(beatStopRequest.load(), 0);
  device_.CloseStream(song.stream);
  ResetSoundBank();
  SetSoundDevice(nullptr);
}

// A beat at every poll, so the test sees at once whether beats still flow.
class BeatEveryPoll : public BeatCounter {
 public:
  explicit BeatEveryPoll(std::atomic<int>& polls) : polls_(polls) {}
  int32_t Count() override {
    polls_.fetch_add(1);
    return 1;
  }

 private:
  std::atomic<int>& polls_;
};

bool WaitForPolls(const std::atomic<int>& polls, int atLeast) {
  const auto giveUp = Clock::now() + std::chrono::seconds(20);
  while (polls.load() < atLeast) {
    if (Clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

TEST(SongGameMusicTest, TheSongIsTheGameMusicAndItsBeatsStopWithTheLastBall) {
  RecordingSoundDevice device;
  TestPlatform platform;
  SetSoundDevice(&device);
  SetPlatform(&platform);
  ResetSoundBank();
  beatsCounted.store(0);
  constexpr SoundHandle kSong = 777;
  std::atomic<int> polls{0};
  StartSongGameMusic(kSong, std::make_unique<BeatEveryPoll>(polls));
  ASSERT_TRUE(WaitForPolls(polls, 5));
  EXPECT_GE(TakeBeats(), 4);
  StopBeatTrack();
  ASSERT_TRUE(WaitForPolls(polls, polls.load() + 3));
  TakeBeats();  // a beat counted as the ball was lost
  ASSERT_TRUE(WaitForPolls(polls, polls.load() + 5));
  EXPECT_EQ(TakeBeats(), 0);
  RequestBeatStop();
  CloseGameMusic();
  // The song plays on the game music's channel at its volume; no beat track is played.
  const auto plays = device.CallsOf("stream_play");
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0].channel, sound::kGameMusicChannel);
  EXPECT_EQ(plays[0].handle, kSong);
  const auto closes = device.CallsOf("stream_close");
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_EQ(closes[0].handle, kSong);
  EXPECT_EQ(beatStopRequest.load(), 0);
  ResetSoundBank();
  SetPlatform(nullptr);
  SetSoundDevice(nullptr);
}

}  // namespace
}  // namespace fenwhit
