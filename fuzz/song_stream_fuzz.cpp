// Feeds arbitrary bytes to a song's stream as the mixer plays it: the choice of decoder,
// libsndfile's decoding behind our reading callbacks (or our Vorbis decoder's) and the
// resampling to the mixing rate, over a few loops.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/stream_source.h"
#include "songs/song_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  auto decoder = fenwhit::OpenSongDecoder(
      std::make_unique<fenwhit::MemorySource>(std::vector<uint8_t>(data, data + size)), error);
  if (!decoder) {
    if (error.empty()) std::abort();
    return 0;
  }
  auto source = fenwhit::StreamSource::Open(std::move(decoder), 44100);
  if (!source) std::abort();
  int16_t out[2 * 4096];
  for (int block = 0; block < 32 && !source->Dead(); ++block) {
    const int made = source->Produce(out, 4096);
    if (made < 0 || made > 4096 || (made < 4096 && !source->Dead())) std::abort();
  }
  return 0;
}
