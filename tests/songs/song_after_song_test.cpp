// A game's songs one after another on one stream: the decoder that goes from song to song
// (at another rate, with a wrong declared length, through damage), and whole games' music
// played offline, each counted beat checked against the true beats of the songs heard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <future>
#include <limits>
#include <mutex>
#include <thread>

#include "audio/mixer_fixture.h"
#include "audio/music.h"
#include "audio/sound_bank.h"
#include "audio/stream_source.h"
#include "platform/test_platform.h"
#include "songs/song_after_song_counter.h"
#include "songs/song_game_music.h"
#include "songs/song_maker.h"
#include "songs/song_sequence_decoder.h"
#include "songs/song_stream.h"

namespace fenwhit {
namespace {

// A song of one constant value, so a read shows which song it came from. From frame
// `damagedAt` on, `damagedReads` reads in a row fail (negative: every one does).
struct FakeSong : StreamDecoder {
  FakeSong(int songRate, int64_t declaredFrames, int64_t songFrames, float songValue)
      : rate(songRate), declared(declaredFrames), frames(songFrames), value(songValue) {}
  int Rate() const override { return rate; }
  int64_t TotalFrames() const override { return declared; }
  long Read(float*** channels, int& channelCount, int maxFrames) override {
    if (at == damagedAt && damagedReads != 0 && damagedReads-- != 0) return -1;
    const int64_t stop = at < damagedAt ? std::min(frames, damagedAt) : frames;
    const long got = static_cast<long>(std::min<int64_t>(maxFrames, stop - at));
    if (got <= 0) return 0;
    plane.assign(static_cast<size_t>(got), value);
    pointer = plane.data();
    *channels = &pointer;
    channelCount = 1;
    at += got;
    return got;
  }
  bool Rewind() override {
    at = 0;
    return true;
  }

  int rate;
  int64_t declared, frames;
  float value;
  int64_t at = 0, damagedAt = -1;
  int damagedReads = 0;
  std::vector<float> plane;
  float* pointer = nullptr;
};

struct Stretch {
  float value;
  int rate;
  int64_t frames;
  bool operator==(const Stretch&) const = default;
};

std::vector<Stretch> ReadRuns(StreamDecoder& decoder, int64_t frames) {
  std::vector<Stretch> runs;
  for (int64_t read = 0; read < frames;) {
    float** channels = nullptr;
    int count = 0;
    const long got =
        decoder.Read(&channels, count, static_cast<int>(std::min<int64_t>(256, frames - read)));
    EXPECT_GT(got, 0);
    if (got <= 0) break;
    for (long i = 0; i < got; ++i) {
      const Stretch frame{channels[0][i], decoder.Rate(), 1};
      if (runs.empty() || runs.back().value != frame.value || runs.back().rate != frame.rate) {
        runs.push_back(frame);
      } else {
        ++runs.back().frames;
      }
    }
    read += got;
  }
  return runs;
}

std::unique_ptr<FakeSong> Song(int rate, int64_t declared, int64_t frames, float value) {
  return std::make_unique<FakeSong>(rate, declared, frames, value);
}

TEST(SongSequenceDecoderTest, GoesOnWithTheOfferedSongElseTheSameAgainAndSaysHowLongEachWas) {
  auto joins = std::make_shared<SongJoins>();
  SongSequenceDecoder decoder(Song(22050, 1000, 1000, 0.1f), joins);
  // The second song declares 600 frames but holds 500.
  EXPECT_TRUE(joins->Offer(0, Song(44100, 600, 500, 0.2f)));
  EXPECT_EQ(ReadRuns(decoder, 2200),
            (std::vector<Stretch>{{0.1f, 22050, 1000}, {0.2f, 44100, 1200}}));
  const auto news = joins->TakeNews();
  ASSERT_EQ(news.size(), 3u);
  EXPECT_EQ(news[0].song, 0);
  EXPECT_DOUBLE_EQ(news[0].seconds, 1000.0 / 22050);
  EXPECT_DOUBLE_EQ(news[1].seconds, 500.0 / 44100);
  EXPECT_EQ(news[2].song, 2);
  EXPECT_TRUE(news[2].broken.empty());
  // Too late for a song that has ended; the one playing now takes it.
  EXPECT_FALSE(joins->Offer(0, Song(8000, 10, 10, 0.3f)));
  EXPECT_TRUE(joins->Offer(3, Song(8000, 10, 10, 0.3f)));
  EXPECT_EQ(ReadRuns(decoder, 310), (std::vector<Stretch>{{0.2f, 44100, 300}, {0.3f, 8000, 10}}));
}

TEST(SongSequenceDecoderTest, DamageIsSkippedOrPlayedAsSilenceToTheSongsEndAndNeverEndsTheStream) {
  auto joins = std::make_shared<SongJoins>();
  // A few bad stretches are skipped; damage past repair at 300 plays silence up to the
  // declared 1000, again on every repeat, each time told.
  auto song = Song(1000, 1000, 1000, 0.5f);
  song->damagedAt = 300;
  song->damagedReads = -1;
  SongSequenceDecoder broken(std::move(song), joins);
  EXPECT_EQ(ReadRuns(broken, 2300), (std::vector<Stretch>{{0.5f, 1000, 300},
                                                          {0.0f, 1000, 700},
                                                          {0.5f, 1000, 300},
                                                          {0.0f, 1000, 700},
                                                          {0.5f, 1000, 300}}));
  const auto news = joins->TakeNews();
  ASSERT_EQ(news.size(), 4u);
  EXPECT_FALSE(news[0].broken.empty());
  EXPECT_DOUBLE_EQ(news[1].seconds, 1.0);
  EXPECT_FALSE(news[2].broken.empty());
  EXPECT_EQ(news[3].song, 1);

  auto hiccups = std::make_shared<SongJoins>();
  auto flaky = Song(1000, 1000, 1000, 0.5f);
  flaky->damagedAt = 300;
  flaky->damagedReads = 20;
  SongSequenceDecoder skipping(std::move(flaky), hiccups);
  EXPECT_EQ(ReadRuns(skipping, 1000), (std::vector<Stretch>{{0.5f, 1000, 1000}}));
  EXPECT_TRUE(hiccups->TakeNews().empty());

  // A song that yields nothing and declares nothing still lasts a second, in silence.
  auto emptyJoins = std::make_shared<SongJoins>();
  SongSequenceDecoder empty(Song(1000, 0, 0, 0.5f), emptyJoins);
  EXPECT_EQ(ReadRuns(empty, 2500), (std::vector<Stretch>{{0.0f, 1000, 2500}}));
  const auto emptyNews = emptyJoins->TakeNews();
  ASSERT_GE(emptyNews.size(), 2u);
  EXPECT_DOUBLE_EQ(emptyNews[1].seconds, 1.0);
}

TEST(SongSequenceDecoderTest, TheStreamPlaysEachSongAtItsOwnRate) {
  auto joins = std::make_shared<SongJoins>();
  auto decoder = std::make_unique<SongSequenceDecoder>(Song(22050, 2205, 2205, 0.25f), joins);
  joins->Offer(0, Song(11025, 1102, 1102, 0.5f));
  auto source = StreamSource::Open(std::move(decoder), 44100);
  std::vector<int16_t> out(2 * 13000);
  ASSERT_EQ(source->Produce(out.data(), 4510), 4510);
  // The second song has begun decoding: the third follows it once.
  ASSERT_TRUE(joins->Offer(1, Song(22050, 22050, 22050, 0.75f)));
  ASSERT_EQ(source->Produce(out.data() + 2 * 4510, 13000 - 4510), 13000 - 4510);
  // A tenth of a second of each of the first two songs at 44.1 kHz: a song resampled
  // from another song's rate would be heard at the wrong speed, its tenth short or long.
  std::vector<int64_t> frames(3);
  const int16_t values[] = {out[2 * 100], out[2 * 4500], out[2 * 12000]};
  for (size_t i = 0; i < out.size() / 2; ++i) {
    for (size_t song = 0; song < 3; ++song) frames[song] += out[2 * i] == values[song];
  }
  EXPECT_NEAR(frames[0], 4410, 3);
  // (A change of rate loses the few frames the resampler held back: a tenth of a ms.)
  EXPECT_NEAR(frames[1], 4408, 8);
  EXPECT_NEAR(frames[2], 13000 - 4410 - 4408, 8);
}

// --- Whole games' music, played offline ---------------------------------------------

const std::string kSongs = FENWHIT_SOURCE_DIR "/tests/songs/";

BeatTimes TrueBeats(const std::string& name) {
  BeatTimes beats;
  std::ifstream file(kSongs + name + ".beats");
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line[0] != '#') beats.beats.push_back(std::stod(line));
  }
  return beats;
}

// How long a song file plays, counted in the frames it decodes to.
double DecodedSeconds(const std::string& path) {
  std::string why;
  auto decoder = OpenSongFile(path, why);
  if (!decoder) return 0.0;
  int64_t frames = 0;
  for (;;) {
    float** channels = nullptr;
    int count = 0;
    const long got = decoder->Read(&channels, count, 4096);
    if (got == 0) break;
    frames += std::max(got, 0L);
  }
  return static_cast<double>(frames) / decoder->Rate();
}

PreparedSong Prepared(const std::string& path, const std::string& beatsOf) {
  return {path, std::filesystem::path(path).stem().string(), "", "key of " + beatsOf,
          TrueBeats(beatsOf)};
}

class FakeSupply : public SongSupply {
 public:
  std::deque<PreparedSong> forGame;
  std::deque<PreparedSong> after;

  std::optional<PreparedSong> TakeSongForGame() override { return Take(forGame); }
  std::optional<PreparedSong> TakeSongAfter(const PreparedSong&) override { return Take(after); }
  void CannotPlay(const std::string& path, const std::string&) override;
  // Each song it was told of, with the play position then.
  std::vector<std::pair<std::string, double>> Refused() {
    std::lock_guard lock(mutex_);
    return refused_;
  }

 private:
  std::optional<PreparedSong> Take(std::deque<PreparedSong>& songs) {
    std::lock_guard lock(mutex_);
    if (songs.empty()) return std::nullopt;
    PreparedSong song = songs.front();
    songs.pop_front();
    return song;
  }
  std::mutex mutex_;
  std::vector<std::pair<std::string, double>> refused_;
};

// The beat thread's sleeps render the mix instead of waiting: a whole game's music plays
// as fast as the machine goes, and each poll's beats are written down at the position
// the poll saw.
struct OfflineGame {
  MixerSoundDevice* device = nullptr;
  int64_t target = 0;
  int64_t rendered = 0;
  std::vector<double> countedAt;
  std::promise<void> done;
  bool finished = false;
  std::atomic<bool> going{false};  // nothing plays before the test has done its part
};
OfflineGame* offline = nullptr;

double PlayedSeconds() {
  if (offline == nullptr) return -1.0;
  return offline->device->StreamSecondsPlayed(soundTable[sound::kGameMusic].load());
}

void SleepRendering(int milliseconds) {
  for (int32_t n = TakeBeatThreadBeats(); n > 0; --n) offline->countedAt.push_back(PlayedSeconds());
  if (!offline->going.load() || offline->rendered >= offline->target) {
    if (offline->going.load() && !std::exchange(offline->finished, true)) {
      offline->done.set_value();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return;
  }
  const int frames = milliseconds * MixerSoundDevice::kDefaultRate / 1000;
  std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
  offline->device->RenderOffline(out.data(), frames);
  offline->rendered += frames;
}

// Beats are counted ahead and taken when heard: the clock they are heard by is the mix's.
int64_t RenderedMs() {
  return offline == nullptr ? 0 : offline->rendered * 1000 / MixerSoundDevice::kDefaultRate;
}

void FakeSupply::CannotPlay(const std::string& path, const std::string&) {
  std::lock_guard lock(mutex_);
  refused_.emplace_back(path, PlayedSeconds());
}

// The beats the songs hold, in play time: each song starts where the one before ended.
std::vector<double> BeatsHeard(const std::vector<std::pair<std::string, std::string>>& songs,
                               double until) {
  std::vector<double> beats;
  double start = 0.0;
  for (size_t i = 0; start < until; ++i) {
    const auto& [path, beatsOf] = songs[std::min(i, songs.size() - 1)];
    for (const double beat : TrueBeats(beatsOf).beats) beats.push_back(start + beat);
    start += DecodedSeconds(path);
  }
  return beats;
}

class SongGameMusicPlay : public testing::MixerFixture {
 protected:
  // Starts a game's music as a game does, plays `seconds` of it and ends the game.
  std::vector<double> PlayGame(FakeSupply& supply, double seconds,
                               const std::function<void()>& started = {}) {
    TestPlatform platform;
    SetPlatform(&platform);
    SetSoundDevice(&device_);
    ResetSoundBank();
    OfflineGame game;
    game.device = &device_;
    game.target = static_cast<int64_t>(seconds * MixerSoundDevice::kDefaultRate);
    offline = &game;
    auto done = game.done.get_future();
    SetBeatSleep(SleepRendering);
    SetBeatClock(RenderedMs);
    SongGameMusic music(supply, device_);
    SetGameMusicChoice(&music);
    ForgetCountedBeats();
    StartChosenGameMusic(kSongs + "no beat track.ogg", kSongs + "no music.ogg");
    if (started) started();
    game.going.store(true);
    if (BeatThreadRunning()) {
      EXPECT_EQ(done.wait_for(std::chrono::seconds(240)), std::future_status::ready);
    }
    RequestBeatStop();
    CloseGameMusic();
    SetGameMusicChoice(nullptr);
    SetBeatSleep(nullptr);
    SetBeatClock(nullptr);
    ResetSoundBank();
    SetSoundDevice(nullptr);
    SetPlatform(nullptr);
    offline = nullptr;
    return game.countedAt;
  }

  // A fake song played as a game's music, its counter polled every 10 ms for `seconds`;
  // each beat written down at the poll that counted it. `heard` sees each 10 ms rendered.
  std::vector<double> CountFakeSong(std::unique_ptr<FakeSong> song, FakeSupply& supply,
                                    std::vector<double> beats, double seconds,
                                    const std::function<void(double, bool)>& heard = {}) {
    auto joins = std::make_shared<SongJoins>();
    const double declared = static_cast<double>(song->TotalFrames()) / song->Rate();
    const SoundHandle stream =
        device_.OpenDecodedStream(std::make_unique<SongSequenceDecoder>(std::move(song), joins));
    device_.PlayStream(sound::kGameMusicChannel, stream);
    device_.SetVolume(sound::kGameMusicChannel, 255);
    PreparedSong prepared{"fake.flac", "fake", "", "key", {120.0, false, std::move(beats)}};
    SongAfterSongCounter counter(device_, stream, supply, joins, prepared, declared);
    std::vector<double> counted;
    constexpr int kStep = MixerSoundDevice::kDefaultRate / 100;
    for (int step = 0; step < seconds * 100; ++step) {
      for (int32_t n = counter.Count(); n > 0; --n) counted.push_back(step / 100.0);
      const std::vector<int16_t> out = Render(kStep);
      if (heard) heard(step / 100.0, AllZero(out));
    }
    device_.StopStream(stream);
    device_.CloseStream(stream);
    return counted;
  }

  // Every true beat is counted once, when the play position has just passed it (within the
  // 6 ms between polls, less the millisecond a beat's time is rounded to), and the beats
  // between (fills at a join) keep the pace: no gap, no double. The offsets are reported.
  static void ExpectOnTheBeat(const std::vector<double>& counted, const std::vector<double>& truth,
                              double until, double shortest, double longest) {
    constexpr double kRounding = 0.0015;
    double sum = 0.0;
    double worst = 0.0;
    int matched = 0;
    for (const double beat : truth) {
      if (beat > until - 0.05) break;
      const auto found = std::lower_bound(counted.begin(), counted.end(), beat - kRounding);
      ASSERT_NE(found, counted.end()) << "no beat counted after " << beat;
      const double offset = *found - beat;
      EXPECT_LE(offset, 0.0065) << "the beat at " << beat << " s";
      sum += offset;
      worst = std::max(worst, offset);
      ++matched;
    }
    ASSERT_GT(matched, 0);
    for (size_t i = 1; i < counted.size(); ++i) {
      const double gap = counted[i] - counted[i - 1];
      EXPECT_GE(gap, shortest * 0.75) << "a double at " << counted[i] << " s";
      EXPECT_LE(gap, longest * 1.5 + 0.0065) << "a gap before " << counted[i] << " s";
    }
    std::printf("%d beats: counted %.2f ms after the true beat on average, %.2f ms at worst\n",
                matched, 1000.0 * sum / matched, 1000.0 * worst);
  }
};

TEST_F(SongGameMusicPlay, EventsComeOnTheSongsBeatFromSongToSongAtAnotherRate) {
  FakeSupply supply;
  const std::string first = kSongs + "straight_095.flac";   // 22.05 kHz
  const std::string second = kSongs + "fast_190.mp3";       // 44.1 kHz, a declared length
  const std::string third = kSongs + "syncopated_150.ogg";  // then again and again
  supply.forGame = {Prepared(first, "straight_095")};
  supply.after = {Prepared(second, "fast_190"), Prepared(third, "syncopated_150")};
  const double seconds =
      DecodedSeconds(first) + DecodedSeconds(second) + 2 * DecodedSeconds(third) + 3.0;
  const std::vector<double> counted = PlayGame(supply, seconds, [&] {
    EXPECT_EQ(CurrentGameSong(), (GameSong{"straight_095", "key of straight_095", first}));
  });
  ExpectOnTheBeat(
      counted,
      BeatsHeard({{first, "straight_095"}, {second, "fast_190"}, {third, "syncopated_150"}},
                 seconds),
      seconds, 60.0 / 190, 60.0 / 95);
  EXPECT_TRUE(supply.Refused().empty());
  EXPECT_TRUE(supply.after.empty());
}

TEST_F(SongGameMusicPlay, ASongThatVanishesOrIsDamagedIsPassedOverInTimeAndTheBeatGoesOn) {
  FakeSupply supply;
  const std::string song = Scratch() + "swing.ogg";
  std::filesystem::copy_file(kSongs + "swing_120.ogg", song);
  std::vector<uint8_t> garbage(4000, 0x5a);
  scratch_.WriteFile("damaged.flac", garbage);
  // The first song cannot open; the one after is deleted while it plays; the next two
  // turn out deleted and damaged when their turn nears.
  supply.forGame = {Prepared(Scratch() + "damaged.flac", "swing_120"), Prepared(song, "swing_120")};
  supply.after = {Prepared(Scratch() + "gone.ogg", "swing_120"),
                  Prepared(Scratch() + "damaged.flac", "swing_120")};
  const double length = DecodedSeconds(song);
  const double seconds = 3 * length + 2.0;
  const std::vector<double> counted =
      PlayGame(supply, seconds, [&] { std::filesystem::remove(song); });
  ExpectOnTheBeat(counted, BeatsHeard({{kSongs + "swing_120.ogg", "swing_120"}}, seconds), seconds,
                  0.5, 0.5);
  const auto refused = supply.Refused();
  ASSERT_EQ(refused.size(), 3u);
  EXPECT_EQ(refused[0].first, Scratch() + "damaged.flac");
  EXPECT_EQ(refused[1].first, Scratch() + "gone.ogg");
  // Known while the song before still played.
  EXPECT_LT(refused[1].second, length - 1.0);
  EXPECT_EQ(refused[2].first, Scratch() + "damaged.flac");
  EXPECT_LT(refused[2].second, 2 * length - 1.0);
}

TEST_F(SongGameMusicPlay, ASongCutShortWhilePlayingEndsWhereItsDataEndsAndTheNextFollowsThere) {
  // Bursts every half second for ten seconds; cut to six once the game has begun. Its
  // header still says ten: the next song must start at six.
  std::vector<double> bursts;
  for (double beat = 0.25; beat < 10.0; beat += 0.5) bursts.push_back(beat);
  const std::string cut = Scratch() + "cut.wav";
  ASSERT_TRUE(
      testing::WriteSong(cut, testing::BurstsAt(bursts, 10.0), SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  FakeSupply supply;
  PreparedSong first{cut, "cut", "", "cut", {120.0, false, bursts}};
  supply.forGame = {first};
  const std::string next = kSongs + "swing_120.ogg";
  supply.after = {Prepared(next, "swing_120")};
  const double seconds = 6.0 + DecodedSeconds(next) + 2.0;
  const std::vector<double> counted = PlayGame(
      supply, seconds, [&] { std::filesystem::resize_file(cut, 44 + 6 * testing::kSongRate * 2); });
  std::vector<double> truth;
  for (const double beat : bursts) {
    if (beat < 6.0) truth.push_back(beat);
  }
  for (const double beat : BeatsHeard({{next, "swing_120"}}, seconds - 6.0)) {
    truth.push_back(6.0 + beat);
  }
  ExpectOnTheBeat(counted, truth, seconds, 0.5, 0.5);
  EXPECT_TRUE(supply.Refused().empty());
}

TEST_F(SongGameMusicPlay, ASongDamagedPastRepairGoesSilentToItsEndWhileItsBeatsGoOn) {
  FakeSupply supply;
  // Four seconds declared, damaged past repair after one; beats every half second.
  auto song = Song(22050, 4 * 22050, 4 * 22050, 0.5f);
  song->damagedAt = 22050;
  song->damagedReads = -1;
  std::vector<double> beats;
  for (double beat = 0.0; beat < 4.0; beat += 0.5) beats.push_back(beat);
  int loudAfterDamage = 0;
  const std::vector<double> counted =
      CountFakeSong(std::move(song), supply, beats, 9.0, [&](double at, bool silent) {
        const double inSong = std::fmod(at, 4.0);
        if (inSong > 1.1 && inSong < 3.9) loudAfterDamage += !silent;
      });
  // Heard: the song's first second, then silence; the beats never stop.
  EXPECT_EQ(loudAfterDamage, 0);
  ASSERT_EQ(counted.size(), 18u);
  for (size_t i = 0; i < counted.size(); ++i) EXPECT_NEAR(counted[i], i * 0.5 + 0.005, 0.0051) << i;
  // Told once, not on every repeat.
  ASSERT_EQ(supply.Refused().size(), 1u);
  EXPECT_EQ(supply.Refused()[0].first, "fake.flac");
}

TEST_F(SongGameMusicPlay, ASongLongerThanItSaysPlaysToItsEndBeforeItStartsAgain) {
  FakeSupply supply;
  // Declared three seconds, truly six: more than the stream decodes ahead, so the truth
  // comes only after the declared end has passed.
  const std::vector<double> beats = {0.0, 0.5, 1.0, 1.25, 1.5, 2.0, 2.5, 3.25, 3.75};
  const std::vector<double> counted = CountFakeSong(
      std::make_unique<FakeSong>(22050, 3 * 22050, 6 * 22050, 0.5f), supply, beats, 8.0);
  // Its beats past three seconds count, its silence after them is filled at the song's
  // pace, and it starts again at six seconds.
  const std::vector<double> expected = {0.0,  0.5,  1.0,  1.25, 1.5, 2.0, 2.5,  3.25, 3.75,
                                        4.25, 4.75, 5.25, 6.0,  6.5, 7.0, 7.25, 7.5};
  ASSERT_EQ(counted.size(), expected.size());
  for (size_t i = 0; i < counted.size(); ++i) EXPECT_NEAR(counted[i], expected[i] + 0.005, 0.0051);
  EXPECT_TRUE(supply.Refused().empty());
}

}  // namespace
}  // namespace fenwhit
