#include "songs/beat_presence.h"

#include <algorithm>
#include <cmath>

#include "songs/onset_periodicity.h"

namespace fenwhit {

namespace {

// Stretches this long are judged one at a time, so that a tempo that drifts stays sharp.
constexpr double kStretchSeconds = 12.0;
constexpr double kStepSeconds = 1.0;
// The lags a beat may have, far wider than the tempos the game plays: a slow or half-time
// beat repeats most clearly at its own period.
constexpr double kShortestBeat = 60.0 / 200.0;
constexpr double kLongestBeat = 60.0 / 40.0;
// How far off a lag the repetition must have faded.
constexpr double kSharpness = 0.046;
// The rise a lag's repetition must have over its neighbours', in a quarter of the song.
constexpr double kLeastRise = 0.3;

// The hop-to-hop flicker a steady tone gives the envelope repeats at every even lag; it
// is no beat.
std::vector<double> WithoutFlicker(const std::vector<double>& onsets) {
  std::vector<double> smooth(onsets.size());
  const size_t n = onsets.size();
  for (size_t i = 0; i < n; ++i) {
    const double before = onsets[i > 0 ? i - 1 : i];
    const double after = onsets[i + 1 < n ? i + 1 : i];
    smooth[i] = 0.25 * before + 0.5 * onsets[i] + 0.25 * after;
  }
  return smooth;
}

// The most any lag's repetition rises above the repetition a little off it.
double SharpestRise(const std::vector<double>& correlation, int shortest, int longest, int off) {
  double rise = 0.0;
  for (int lag = shortest; lag <= longest; ++lag) {
    rise =
        std::max(rise, correlation[lag] - std::max(correlation[lag - off], correlation[lag + off]));
  }
  return rise;
}

}  // namespace

bool KeepsABeat(const std::vector<double>& onsets, double hopSeconds) {
  if (!(hopSeconds > 0.0)) return false;
  const std::vector<double> smooth = WithoutFlicker(onsets);
  const int n = static_cast<int>(smooth.size());
  const int off = std::max(2, static_cast<int>(std::lround(kSharpness / hopSeconds)));
  const int shortest = std::max(off + 1, static_cast<int>(kShortestBeat / hopSeconds));
  const int longest = static_cast<int>(std::ceil(kLongestBeat / hopSeconds));
  const int stretch = static_cast<int>(kStretchSeconds / hopSeconds);
  const int step = std::max(1, static_cast<int>(kStepSeconds / hopSeconds));
  std::vector<double> rises;
  for (int from = 0;; from += step) {
    const int to = std::min(n, from + stretch);
    // Enough of the stretch to see the longest lag come round a few times.
    const int reach = std::min(longest, (to - from) / 3);
    if (reach > shortest) {
      const auto correlation = Autocorrelation(smooth, from, to, shortest - off, reach + off);
      rises.push_back(SharpestRise(correlation, shortest, reach, off));
    }
    if (to == n) break;
  }
  if (rises.empty()) return false;
  // The upper quartile: a beat may come in late or stop early, but not only for a moment.
  const auto quartile = rises.begin() + static_cast<long>(rises.size() * 3 / 4);
  std::nth_element(rises.begin(), quartile, rises.end());
  return *quartile >= kLeastRise;
}

}  // namespace fenwhit
