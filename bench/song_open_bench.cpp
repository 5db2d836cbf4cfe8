// What the beat thread does as a song nears its end: open the song after it and read its
// first block, in each format. The thread counts no beat meanwhile, so this must stay a
// small part of the 6 ms between its polls.
#include <benchmark/benchmark.h>

#include <iterator>
#include <string>

#include "songs/song_stream.h"

namespace {

const char* const kFormats[] = {"straight_070.ogg", "straight_095.flac", "fast_190.mp3",
                                "pad_only.wav"};

void BM_OpenNextSong(benchmark::State& state) {
  const char* name = kFormats[state.range(0)];
  state.SetLabel(name);
  const std::string path = std::string(FENWHIT_SOURCE_DIR) + "/tests/songs/" + name;
  for (auto _ : state) {
    std::string why;
    auto decoder = fenwhit::OpenSongFile(path, why);
    if (!decoder) {
      state.SkipWithError(why.c_str());
      return;
    }
    float** channels = nullptr;
    int count = 0;
    benchmark::DoNotOptimize(decoder->Read(&channels, count, 2048));
  }
}
BENCHMARK(BM_OpenNextSong)->DenseRange(0, std::size(kFormats) - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
