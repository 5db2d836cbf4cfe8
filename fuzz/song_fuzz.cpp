// Any bytes as a song file, decoded as the game plays it (Ogg Vorbis by its own decoder,
// the rest by libsndfile) and listened to for its beats: no crash, hang or leak, and beats
// that rise inside the song.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "songs/beat_analysis.h"
#include "songs/song_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace fenwhit;
  std::string why;
  // Short, so that a header claiming hours of sound costs little.
  auto song = SongDecoder::OpenBytes({data, data + size}, why, {.maxSeconds = 4.0});
  if (!song) return 0;
  const std::atomic<bool> never{false};
  const auto times = AnalyseBeats(*song, {}, never);
  if (!times) std::abort();
  for (size_t i = 0; i < times->beats.size(); ++i) {
    if (times->beats[i] < 0.0 || (i > 0 && times->beats[i] <= times->beats[i - 1])) std::abort();
  }
  return 0;
}
