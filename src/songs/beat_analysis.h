#pragma once
// Finds the beats of a whole song: aubio's tracker listens as the song plays, then the
// whole onset envelope is fitted with a beat grid that may bend with the tempo.
#include <atomic>
#include <functional>
#include <optional>

#include "songs/beat_times.h"

namespace fenwhit {

class SongDecoder;

// Reads the song to its end. progress hears 0..1 now and then; nothing once cancel is set,
// and then no result, promptly.
std::optional<BeatTimes> AnalyseBeats(SongDecoder& song,
                                      const std::function<void(double)>& progress,
                                      const std::atomic<bool>& cancel);

}  // namespace fenwhit
