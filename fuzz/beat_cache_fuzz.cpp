// Feeds arbitrary bytes to the beat cache's parser. Whatever it accepts must lie within
// its limits and write back as an entry that reads again as the same beats.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "songs/beat_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto beats = fenwhit::ParseBeatTimes(text);
  if (!beats) return 0;
  if (!(beats->tempo >= 0.0 && beats->tempo <= 1000.0) || beats->beats.size() > 100000) {
    std::abort();
  }
  for (size_t i = 0; i < beats->beats.size(); ++i) {
    const double beat = beats->beats[i];
    if (!(beat >= 0.0 && beat <= 86400.0) || (i > 0 && !(beat > beats->beats[i - 1]))) {
      std::abort();
    }
  }
  if (fenwhit::ParseBeatTimes(fenwhit::FormatBeatTimes(*beats)) != beats) std::abort();
  return 0;
}
