#include "songs/beat_analysis.h"

#include "songs/beat_grid.h"
#include "songs/onset_envelope.h"

namespace fenwhit {

std::optional<BeatTimes> AnalyseBeats(SongDecoder& song,
                                      const std::function<void(double)>& progress,
                                      const std::atomic<bool>& cancel) {
  // Listening is nearly all the work; the grid is fitted in a moment.
  auto listening = [&progress](double done) {
    if (progress) progress(0.95 * done);
  };
  const auto envelope = ListenForOnsets(song, listening, cancel);
  if (!envelope || cancel.load()) return std::nullopt;
  BeatTimes times = FitBeatGrid(*envelope);
  if (progress) progress(1.0);
  return times;
}

}  // namespace fenwhit
