// Song files as players drop them: good ones read as mono frames a chunk at a time, and
// every kind of bad one refused with a reason the menu can name.
#include "songs/song_decoder.h"

#include <gtest/gtest.h>

#include <cmath>

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
  dir.WriteFile("many.wav", WavHeader(16, 44100, 0));
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
  EXPECT_FALSE(WhyNot(path("damaged.wav")).empty());

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

}  // namespace
}  // namespace fenwhit
