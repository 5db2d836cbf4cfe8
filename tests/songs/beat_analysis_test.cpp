// Beats found in songs made here with known beats: steady at several tempos, swung, after a
// quiet intro, across a tempo change, folded into the range the game plays, and a steady
// grid for a song with no beat; giving up promptly when asked.
#include "songs/beat_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

#include "songs/analyse_song.h"
#include "songs/beat_grid.h"
#include "songs/beat_presence.h"
#include "songs/song_decoder.h"
#include "support/scratch_dir.h"
#include "support/synth_song.h"

namespace fenwhit {
namespace {

using testing::BeatAgreement;
using testing::SongShape;
using testing::SteadyBeats;

BeatTimes AnalyseFile(const std::string& path) {
  std::string why;
  auto decoder = SongDecoder::Open(path, why);
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

BeatTimes Analyse(const testing::SynthSong& song) {
  testing::ScratchDir dir;
  const auto path = dir.path() / "song.wav";
  testing::WriteWav(path, song);
  return AnalyseFile(path.string());
}

// A committed test song (tests/songs/, made by tools/songs/make_test_songs) and its true
// beats; found beats after its music ends, where only the last notes ring, are not scored.
struct TestSong {
  std::string path;
  std::vector<double> beats;
  double musicEnds = 1e9;
};

TestSong Committed(const std::string& name) {
  const std::string folder = std::string(FENWHIT_SOURCE_DIR) + "/tests/songs/";
  TestSong song;
  song.path = folder + name;
  std::ifstream truth(folder + name.substr(0, name.rfind('.')) + ".beats");
  EXPECT_TRUE(truth) << name;
  for (std::string line; std::getline(truth, line);) {
    if (line.rfind("# end:", 0) == 0) song.musicEnds = std::stod(line.substr(6));
    if (!line.empty() && line[0] != '#') song.beats.push_back(std::stod(line));
  }
  return song;
}

std::vector<double> WhileTheMusicPlays(const TestSong& song, std::vector<double> found) {
  std::erase_if(found, [&](double at) { return at >= song.musicEnds - 0.07; });
  return found;
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
  // Half a beat a minute faster at every beat: from 100 to about 127 in half a minute.
  auto speedingUp = [](int k) {
    double at = 0.3;
    for (int i = 0; i < k; ++i) at += 60 / (100 + 0.5 * i);
    return at;
  };
  const std::vector<Case> cases = {
      {"90", {.beatTime = SteadyBeats(90)}, 90},
      {"128", {.beatTime = SteadyBeats(128)}, 128},
      {"160 with kick and snare taking turns", {.beatTime = SteadyBeats(160)}, 160},
      {"swung 110", {.beatTime = SteadyBeats(110), .swing = 0.17}, 110},
      {"quiet intro", {.seconds = 24, .beatTime = SteadyBeats(120), .quietUntil = 8}, 120},
      {"100 then 130", {.seconds = 30, .beatTime = change}, 130},
      {"speeding up", {.seconds = 30, .beatTime = speedingUp}, 100 + 0.5 * 27},
  };
  for (const Case& test : cases) {
    const auto song = testing::RenderSong(test.shape);
    const BeatTimes times = Analyse(song);
    EXPECT_FALSE(times.steady) << test.name;
    // Not rounded to the hops the onsets are heard at (11.6 ms, 1.5 % at 128).
    EXPECT_NEAR(times.tempo, test.tempo, test.tempo * 0.005) << test.name;
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

// The grid over envelopes made by hand: where the causal tracker heard only every other
// beat, or kept to the first tempo after a change, the whole song sets it right.
TEST(BeatAnalysis, TheWholeSongCorrectsTheTracker) {
  const double hop = 512.0 / 44100;
  auto envelope = [&](const std::vector<double>& beats, double seconds) {
    OnsetEnvelope made;
    made.hopSeconds = hop;
    made.songSeconds = seconds;
    made.strength.assign(static_cast<size_t>(seconds / hop), 0.01f);
    for (size_t k = 0; k < beats.size(); ++k) {
      // Kick and snare taking turns: one louder than the other.
      made.strength[static_cast<size_t>(std::lround(beats[k] / hop))] = k % 2 ? 0.6f : 1.0f;
    }
    return made;
  };
  std::vector<double> beats, everyOther;
  for (int k = 0; k < 80; ++k) beats.push_back(0.3 + k * 60 / 160.0);
  for (size_t k = 0; k < beats.size(); k += 2) everyOther.push_back(beats[k]);
  OnsetEnvelope fast = envelope(beats, 30);
  fast.trackedBeats = everyOther;
  const BeatTimes doubled = FitBeatGrid(fast);
  EXPECT_NEAR(doubled.tempo, 160, 3);
  EXPECT_GE(BeatAgreement(doubled.beats, beats), 0.95);

  beats.clear();
  for (int k = 0; k < 58; ++k)
    beats.push_back(k < 24 ? 0.3 + k * 0.6 : 14.7 + (k - 24) * 60 / 130.0);
  OnsetEnvelope change = envelope(beats, 30);
  // With hi-hats between the beats, half a beat more than the new period repeats too.
  for (size_t k = 1; k < beats.size(); ++k) {
    change.strength[static_cast<size_t>(std::lround((beats[k - 1] + beats[k]) / 2 / hop))] = 0.3f;
  }
  for (int k = 0; k < 50; ++k) change.trackedBeats.push_back(0.3 + k * 0.6);
  const BeatTimes changed = FitBeatGrid(change);
  EXPECT_GE(BeatAgreement(changed.beats, beats), 0.9);
}

// Two songs that once went wrong: the grid wandered through the quiet pad before the drums
// came in, and a pad with no beat got a wandering grid instead of a steady one.
TEST(BeatAnalysis, CarriesTheGridOverAQuietIntroAndHearsNoBeatInAPad) {
  const TestSong intro = Committed("quiet_intro_128.ogg");
  const BeatTimes found = AnalyseFile(intro.path);
  EXPECT_FALSE(found.steady);
  EXPECT_NEAR(found.tempo, 128, 0.5);
  EXPECT_GE(BeatAgreement(WhileTheMusicPlays(intro, found.beats), intro.beats), 0.95);
  const std::vector<double> introBeats(intro.beats.begin(), intro.beats.begin() + 16);
  const std::vector<double> foundInIntro(found.beats.begin(), found.beats.begin() + 16);
  EXPECT_GE(BeatAgreement(foundInIntro, introBeats), 0.95);

  const TestSong pad = Committed("pad_only.wav");
  const BeatTimes steady = AnalyseFile(pad.path);
  EXPECT_TRUE(steady.steady);
  ASSERT_GE(steady.beats.size(), 2u);
  for (size_t i = 1; i < steady.beats.size(); ++i) {
    EXPECT_NEAR(steady.beats[i] - steady.beats[i - 1], 60.0 / steady.tempo, 1e-9);
  }
  // --analyse prints it as any other song, and says on its own line why the grid is steady.
  std::ostringstream out, err;
  EXPECT_EQ(PrintSongBeats(pad.path, out, err), 0);
  std::istringstream lines(out.str());
  std::string line;
  std::getline(lines, line);
  EXPECT_NEAR(std::stod(line), steady.tempo, 0.005);
  size_t printed = 0;
  while (std::getline(lines, line)) ++printed;
  EXPECT_EQ(printed, steady.beats.size());
  EXPECT_EQ(err.str(),
            "fenwhit: " + pad.path + ": no beat heard; a steady grid at the estimated tempo\n");
}

// Envelopes made by hand, a value each 11.6 ms hop: onsets that come back after one lag
// make a beat, even as the lag drifts or when they start late; what only swells, flickers
// or comes at random does not.
TEST(BeatAnalysis, KeepsABeatOnlyWhereOnsetsRepeatSharply) {
  const double hop = 512.0 / 44100;
  const size_t minute = static_cast<size_t>(60 / hop);
  auto spikesAt = [&](const std::vector<double>& times) {
    std::vector<double> onsets(minute, 0.02);
    for (double at : times) onsets[std::min(minute - 1, static_cast<size_t>(at / hop))] = 1.0;
    return onsets;
  };
  std::vector<double> steady, speedingUp, lateStart, random;
  for (double at = 0.2; at < 60; at += 0.5) steady.push_back(at);
  for (double at = 0.2, period = 0.6; at < 60; at += period, period *= 0.997) {
    speedingUp.push_back(at);
  }
  for (double at : steady) {
    if (at > 42) lateStart.push_back(at);
  }
  std::mt19937 noise(3);
  std::exponential_distribution<double> gap(2.0);
  for (double at = gap(noise); at < 60; at += gap(noise)) random.push_back(at);
  EXPECT_TRUE(KeepsABeat(spikesAt(steady), hop));
  EXPECT_TRUE(KeepsABeat(spikesAt(speedingUp), hop));
  EXPECT_TRUE(KeepsABeat(spikesAt(lateStart), hop));
  EXPECT_FALSE(KeepsABeat(spikesAt(random), hop));

  // A held chord whose detuned voices beat slowly against each other, as the envelope
  // hears it: a smooth swell, and the flicker of its tones from one hop to the next; at
  // the hops of two sample rates.
  for (const double chordHop : {hop, 128.0 / 14000}) {
    const auto hops = static_cast<size_t>(60 / chordHop);
    std::vector<double> swell(hops), flicker(hops);
    for (size_t i = 0; i < hops; ++i) {
      swell[i] = 1.0 + std::sin(2 * M_PI * 1.6 * i * chordHop);
      flicker[i] = (i % 2 ? 1.0 : 0.2) * (1.0 + 0.3 * std::sin(2 * M_PI * 0.1 * i * chordHop));
    }
    EXPECT_FALSE(KeepsABeat(swell, chordHop)) << chordHop;
    EXPECT_FALSE(KeepsABeat(flicker, chordHop)) << chordHop;
  }
  EXPECT_FALSE(KeepsABeat({}, hop));
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
