// Beats found in songs made here with known beats: steady at several tempos, swung, after a
// quiet intro, across a tempo change, folded into the range the game plays, and a steady
// grid for a song with no beat; giving up promptly when asked.
#include "songs/beat_analysis.h"

#include <gtest/gtest.h>

#include <cmath>

#include "songs/beat_grid.h"
#include "songs/song_decoder.h"
#include "support/scratch_dir.h"
#include "support/synth_song.h"

namespace fenwhit {
namespace {

using testing::BeatAgreement;
using testing::SongShape;
using testing::SteadyBeats;

BeatTimes Analyse(const testing::SynthSong& song) {
  testing::ScratchDir dir;
  const auto path = dir.path() / "song.wav";
  testing::WriteWav(path, song);
  std::string why;
  auto decoder = SongDecoder::Open(path.string(), why);
  EXPECT_NE(decoder, nullptr) << why;
  if (!decoder) return {};
  const std::atomic<bool> never{false};
  double lastProgress = 0.0;
  auto times = AnalyseBeats(
      *decoder,
      [&](double done) {
        EXPECT_GE(done, lastProgress);
        lastProgress = done;
      },
      never);
  EXPECT_EQ(lastProgress, 1.0);
  return times.value_or(BeatTimes{});
}

void ExpectInsideAndRising(const BeatTimes& times, double seconds) {
  ASSERT_FALSE(times.beats.empty());
  EXPECT_GE(times.beats.front(), 0.0);
  EXPECT_LT(times.beats.back(), seconds);
  for (size_t i = 1; i < times.beats.size(); ++i) EXPECT_GT(times.beats[i], times.beats[i - 1]);
}

TEST(BeatAnalysis, FindsTheBeatsOfSongsThatKeepOne) {
  struct Case {
    const char* name;
    SongShape shape;
    double tempo;
  };
  auto change = [](int k) {
    return k < 24 ? 0.3 + k * 0.6 : 0.3 + 24 * 0.6 + (k - 24) * 60 / 130.0;
  };
  const std::vector<Case> cases = {
      {"90", {.beatTime = SteadyBeats(90)}, 90},
      {"128", {.beatTime = SteadyBeats(128)}, 128},
      {"160 with kick and snare taking turns", {.beatTime = SteadyBeats(160)}, 160},
      {"swung 110", {.beatTime = SteadyBeats(110), .swing = 0.17}, 110},
      {"quiet intro", {.seconds = 24, .beatTime = SteadyBeats(120), .quietUntil = 8}, 120},
      {"100 then 130", {.seconds = 30, .beatTime = change}, 130},
  };
  for (const Case& test : cases) {
    const auto song = testing::RenderSong(test.shape);
    const BeatTimes times = Analyse(song);
    EXPECT_FALSE(times.steady) << test.name;
    EXPECT_NEAR(times.tempo, test.tempo, test.tempo * 0.02) << test.name;
    EXPECT_GE(BeatAgreement(times.beats, song.beats), 0.95) << test.name;
    ExpectInsideAndRising(times, test.shape.seconds);
  }
}

TEST(BeatAnalysis, FoldsTheTempoAndGivesASteadyGridWithoutABeat) {
  // 70 beats a minute is played at 140: every true beat is still one.
  const auto slow = testing::RenderSong({.beatTime = SteadyBeats(70)});
  const BeatTimes folded = Analyse(slow);
  EXPECT_NEAR(folded.tempo, 140, 3);
  EXPECT_GE(BeatAgreement(folded.beats, slow.beats), 0.6);
  int heard = 0;
  for (double beat : slow.beats) {
    for (double found : folded.beats) heard += std::abs(found - beat) <= 0.07;
  }
  EXPECT_EQ(heard, static_cast<int>(slow.beats.size()));

  const BeatTimes noise = Analyse(testing::NoiseSong(10.0));
  EXPECT_TRUE(noise.steady);
  EXPECT_GE(noise.tempo, kSlowestTempo);
  EXPECT_LE(noise.tempo, kFastestTempo);
  ExpectInsideAndRising(noise, 10.0);
  for (size_t i = 1; i < noise.beats.size(); ++i) {
    EXPECT_NEAR(noise.beats[i] - noise.beats[i - 1], 60.0 / noise.tempo, 1e-9);
  }
  EXPECT_EQ(FoldTempo(45), 90);
  EXPECT_EQ(FoldTempo(400), 100);
  EXPECT_EQ(FoldTempo(std::nan("")), 0);
}

TEST(BeatAnalysis, GivesUpPromptlyWhenCancelled) {
  testing::ScratchDir dir;
  const auto path = dir.path() / "long.wav";
  testing::WriteWav(path, testing::RenderSong({.seconds = 60, .beatTime = SteadyBeats(120)}));
  std::string why;
  auto decoder = SongDecoder::Open(path.string(), why);
  ASSERT_NE(decoder, nullptr) << why;
  std::atomic<bool> cancel{false};
  int calls = 0;
  const auto times = AnalyseBeats(
      *decoder,
      [&](double) {
        ++calls;
        cancel = true;
      },
      cancel);
  EXPECT_FALSE(times.has_value());
  EXPECT_EQ(calls, 1);
  // Most of the song was never read.
  std::vector<float> rest(60 * 44100);
  EXPECT_GT(decoder->Read(rest.data(), rest.size()), 50u * 44100);
}

}  // namespace
}  // namespace fenwhit
