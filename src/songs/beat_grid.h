#pragma once
// Fits a beat grid to a whole song's onset envelope: the tempo (folded into the range the
// game plays well), a grid following the strongest onsets that may bend as the tempo drifts
// or changes, carried back over a quiet intro and on to the end.
#include "songs/beat_times.h"
#include "songs/onset_envelope.h"

namespace fenwhit {

inline constexpr double kSlowestTempo = 80.0;
inline constexpr double kFastestTempo = 180.0;

// Halves or doubles a tempo into the range the game plays well.
double FoldTempo(double tempo);

BeatTimes FitBeatGrid(const OnsetEnvelope& envelope);

}  // namespace fenwhit
