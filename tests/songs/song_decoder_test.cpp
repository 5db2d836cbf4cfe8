// Song files as players drop them: good ones read as mono frames a chunk at a time, as the
// game plays them, and every kind of bad one refused with a reason the menu can name.
#include "songs/song_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "songs/song_maker.h"
#include "support/scratch_dir.h"
#include "support/synth_song.h"

namespace fenwhit {
namespace {

using testing::ScratchDir;

std::string WhyNot(const std::string& path) {
  std::string why;
  EXPECT_EQ(SongDecoder::Open(path, why), nullptr) << path;
  return why;
}

std::vector<uint8_t> WavHeader(int channels, int rate, uint32_t dataBytes) {
  std::vector<uint8_t> bytes;
  auto text = [&](const char* s) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(s[i]));
  };
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto u16 = [&](uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  };
  text("RIFF"), u32(36 + dataBytes), text("WAVE"), text("fmt "), u32(16), u16(1);
  u16(static_cast<uint16_t>(channels)), u32(rate), u32(rate * channels * 2);
  u16(static_cast<uint16_t>(channels * 2)), u16(16), text("data"), u32(dataBytes);
  return bytes;
}

TEST(SongDecoder, ReadsMonoChunksAndCapsTheLength) {
  ScratchDir dir;
  testing::SynthSong song;
  song.samples = {0.5f, -0.25f, 0.125f, 0.0f, 0.75f};
  testing::WriteWav(dir.path() / "stereo.wav", song, 2);
  std::string why;
  auto decoder = SongDecoder::Open((dir.path() / "stereo.wav").string(), why);
  ASSERT_NE(decoder, nullptr) << why;
  EXPECT_EQ(decoder->Rate(), 44100);
  EXPECT_EQ(decoder->Frames(), 5);
  float mono[8] = {};
  EXPECT_EQ(decoder->Read(mono, 3), 3u);
  EXPECT_EQ(decoder->Read(mono + 3, 8), 2u);
  EXPECT_EQ(decoder->Read(mono + 5, 8), 0u);
  for (size_t i = 0; i < song.samples.size(); ++i) EXPECT_NEAR(mono[i], song.samples[i], 1e-4);

  // A longer song than allowed is read only as far as the cap.
  testing::SynthSong minute = testing::NoiseSong(60.0);
  testing::WriteWav(dir.path() / "minute.wav", minute);
  decoder = SongDecoder::Open((dir.path() / "minute.wav").string(), why, {.maxSeconds = 2.0});
  ASSERT_NE(decoder, nullptr) << why;
  std::vector<float> all(60 * 44100);
  EXPECT_EQ(decoder->Read(all.data(), all.size()), 2u * 44100);
}

TEST(SongDecoder, NamesWhatIsWrongWithAFile) {
  ScratchDir dir;
  dir.WriteFile("empty.wav", {});
  dir.WriteFile("notes.txt", std::vector<uint8_t>(200, 'a'));
  auto many = WavHeader(16, 44100, 16 * 2 * 100);
  many.resize(many.size() + 16 * 2 * 100);
  dir.WriteFile("many.wav", many);
  dir.WriteFile("fast.wav", WavHeader(2, 2000000, 0));
  dir.WriteFile("nothing.wav", WavHeader(2, 44100, 0));
  auto damaged = WavHeader(2, 44100, 0);
  damaged.resize(30);
  dir.WriteFile("damaged.wav", damaged);
  const auto path = [&](const char* name) { return (dir.path() / name).string(); };
  EXPECT_EQ(WhyNot(path("missing.ogg")), "not found");
  EXPECT_EQ(WhyNot(dir.str()), "not a file");
  EXPECT_EQ(WhyNot(path("empty.wav")), "empty");
  EXPECT_EQ(WhyNot(path("notes.txt")), "not a song in a known format");
  EXPECT_EQ(WhyNot(path("many.wav")), "unsupported format: 16 channels");
  EXPECT_EQ(WhyNot(path("fast.wav")), "unsupported format: a rate of 2000000 Hz");
  EXPECT_EQ(WhyNot(path("nothing.wav")), "no sound in it");
  EXPECT_EQ(WhyNot(path("damaged.wav")), "damaged or unsupported");

  // A file that claims more sound than it holds gives what it has.
  auto cut = WavHeader(1, 8000, 8000 * 2);
  cut.resize(cut.size() + 1000, 0x10);
  std::string why;
  auto decoder = SongDecoder::OpenBytes(cut, why);
  ASSERT_NE(decoder, nullptr) << why;
  std::vector<float> mono(8000);
  EXPECT_EQ(decoder->Read(mono.data(), mono.size()), 500u);
  EXPECT_EQ(SongDecoder::OpenBytes({}, why), nullptr);
  EXPECT_EQ(why, "empty");
}

// An Ogg Vorbis song is read by the game's own Vorbis decoder, as it plays: all of a song
// made of two chained ones, and a damaged header refused (libsndfile leaks memory on it).
TEST(SongDecoder, ReadsOggVorbisAsTheGamePlaysIt) {
  ScratchDir dir;
  const int vorbis = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  // A soft hum under the burst: a link of silence would fit in one page, which libvorbisfile
  // does not read on from.
  auto burstAtHalf = testing::BurstsAt({0.5}, 4.0);
  for (size_t i = 0; i < burstAtHalf.size(); ++i) {
    burstAtHalf[i] += 0.02f * static_cast<float>(std::sin(0.06 * static_cast<double>(i)));
  }
  ASSERT_TRUE(testing::WriteSong((dir.path() / "a.ogg").string(), burstAtHalf, vorbis));
  ASSERT_TRUE(testing::WriteSong((dir.path() / "b.ogg").string(), burstAtHalf, vorbis));
  std::vector<uint8_t> chained = testing::ReadFileBytes(dir.path() / "a.ogg");
  const std::vector<uint8_t> second = testing::ReadFileBytes(dir.path() / "b.ogg");
  chained.insert(chained.end(), second.begin(), second.end());
  std::string why;
  auto song = SongDecoder::OpenBytes(chained, why);
  ASSERT_NE(song, nullptr) << why;
  EXPECT_EQ(song->Frames(), 8 * testing::kSongRate);
  std::vector<float> mono(9 * testing::kSongRate);
  ASSERT_EQ(song->Read(mono.data(), mono.size()), 8u * testing::kSongRate);
  auto loudest = [&](double from, double to) {
    float peak = 0.0f;
    for (auto i = static_cast<size_t>(from * testing::kSongRate);
         i < static_cast<size_t>(to * testing::kSongRate); ++i) {
      peak = std::max(peak, std::abs(mono[i]));
    }
    return peak;
  };
  EXPECT_GT(loudest(4.5, 4.52), 0.3);
  EXPECT_LT(loudest(4.1, 4.4), 0.05);

  std::vector<uint8_t> damaged = testing::ReadFileBytes(dir.path() / "a.ogg");
  const auto header = std::search(damaged.begin() + 4, damaged.end(), "OggS", "OggS" + 4);
  ASSERT_LT(header + 40, damaged.end());
  header[40] ^= 0x03;
  EXPECT_EQ(SongDecoder::OpenBytes(damaged, why), nullptr);
  EXPECT_FALSE(why.empty());
}

}  // namespace
}  // namespace fenwhit
