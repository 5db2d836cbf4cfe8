#include "songs/analyse_song.h"

#include <cstdio>

#include "songs/aubio_library.h"
#include "songs/beat_analysis.h"
#include "songs/song_decoder.h"

namespace fenwhit {

int PrintSongBeats(const std::string& path, std::ostream& out, std::ostream& err) {
  std::string why;
  if (LoadAubio(why) == nullptr) {
    err << "fenwhit: " << why << '\n';
    return 1;
  }
  auto song = SongDecoder::Open(path, why);
  if (!song) {
    err << "fenwhit: " << path << ": " << why << '\n';
    return 2;
  }
  const std::atomic<bool> never{false};
  const auto times = AnalyseBeats(*song, {}, never);
  if (!times) {
    err << "fenwhit: " << path << ": cannot be analysed\n";
    return 2;
  }
  if (times->steady) {
    err << "fenwhit: " << path << ": no beat heard; a steady grid at the estimated tempo\n";
  }
  char line[32];
  std::snprintf(line, sizeof line, "%.2f\n", times->tempo);
  out << line;
  for (double beat : times->beats) {
    std::snprintf(line, sizeof line, "%.3f\n", beat);
    out << line;
  }
  out.flush();
  return out ? 0 : 1;
}

}  // namespace fenwhit
