// Finding the beats of a song against just decoding it, on the test songs: the processor
// time per minute of music for each, and how many times the decode the analysis takes.
// Decoding is part of the analysis (it reads the song itself), so the ratio is >= 1.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "songs/beat_analysis.h"
#include "songs/song_decoder.h"
#include "thread_time.h"

namespace {

const char* const kSongs[] = {
    "straight_070.ogg",         "straight_095.flac", "swing_120.ogg",
    "syncopated_150.ogg",       "fast_190.mp3",      "quiet_intro_128.ogg",
    "tempo_change_100_140.ogg", "no_drums_110.ogg",  "pad_only.wav",
    "straight_060.ogg",         "half_time_150.ogg", "accelerando_100_125.ogg"};

std::string SongPath(const char* name) {
  return std::string(FENWHIT_SOURCE_DIR) + "/tests/songs/" + name;
}

std::unique_ptr<fenwhit::SongDecoder> OpenSong(benchmark::State& state, const char* name) {
  std::string why;
  auto song = fenwhit::SongDecoder::Open(SongPath(name), why);
  if (!song) state.SkipWithError(why.c_str());
  return song;
}

// Seconds of processor time to read the whole song, and its length in minutes.
bool Decode(benchmark::State& state, const char* name, double& seconds, double& minutes) {
  auto song = OpenSong(state, name);
  if (!song) return false;
  std::vector<float> chunk(4096);
  int64_t frames = 0;
  const double start = fenwhit::ThreadSeconds();
  while (size_t got = song->Read(chunk.data(), chunk.size())) {
    frames += static_cast<int64_t>(got);
    benchmark::DoNotOptimize(chunk.data());
  }
  seconds = fenwhit::ThreadSeconds() - start;
  minutes = static_cast<double>(frames) / song->Rate() / 60.0;
  return true;
}

void BM_AnalyseSong(benchmark::State& state) {
  const char* name = kSongs[state.range(0)];
  state.SetLabel(name);
  double decodeSeconds = 1e9, minutes = 0.0;
  for (int i = 0; i < 3; ++i) {  // the quickest of a few reads: the decode alone
    double seconds = 0.0;
    if (!Decode(state, name, seconds, minutes)) return;
    decodeSeconds = std::min(decodeSeconds, seconds);
  }
  const std::atomic<bool> cancel{false};
  double analysisSeconds = 0.0;
  for (auto _ : state) {
    auto song = OpenSong(state, name);
    if (!song) return;
    const double start = fenwhit::ThreadSeconds();
    auto beats = fenwhit::AnalyseBeats(
        *song, [](double) {}, cancel);
    analysisSeconds += fenwhit::ThreadSeconds() - start;
    if (!beats) {
      state.SkipWithError("no beats");
      return;
    }
    benchmark::DoNotOptimize(beats->beats.data());
  }
  const double perRun = analysisSeconds / static_cast<double>(state.iterations());
  state.counters["analyse_s_per_min"] = perRun / minutes;
  state.counters["decode_s_per_min"] = decodeSeconds / minutes;
  state.counters["x_decode"] = perRun / decodeSeconds;
}
BENCHMARK(BM_AnalyseSong)->DenseRange(0, std::size(kSongs) - 1)->Unit(benchmark::kMillisecond);

}  // namespace
