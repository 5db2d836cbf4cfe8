#include "songs/beat_grid.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include "songs/beat_presence.h"
#include "songs/onset_periodicity.h"

namespace fenwhit {

namespace {

// Below this share of its own energy at the beat period the envelope has no beat in it.
constexpr double kLeastPeriodicity = 0.12;
// How well the half period must repeat, against the period, to be taken for the beat.
constexpr double kHalfPeriodShare = 0.6;
// How dearly the grid pays for a beat off the period: per squared log of the ratio.
constexpr double kTightness = 300.0;
// A bar of beats is heard while its onsets are this share of the song's usual beat's.
constexpr double kPlayingShare = 0.3;
constexpr size_t kBeatsInABar = 4;
// The tempo is measured over spans of this many beats.
constexpr size_t kTempoSpan = 8;

std::vector<double> MovingMean(const std::vector<double>& values, int halfWidth) {
  std::vector<double> sums(values.size() + 1, 0.0);
  for (size_t i = 0; i < values.size(); ++i) sums[i + 1] = sums[i] + values[i];
  std::vector<double> means(values.size());
  const int n = static_cast<int>(values.size());
  for (int i = 0; i < n; ++i) {
    const int from = std::max(0, i - halfWidth);
    const int to = std::min(n, i + halfWidth + 1);
    means[i] = (sums[to] - sums[from]) / (to - from);
  }
  return means;
}

// Peaks of the envelope above its surroundings, each in units of its neighbourhood's
// loudness, so that a soft intro counts as much as a loud chorus but silence stays silent.
std::vector<double> Emphasise(const std::vector<float>& strength, double hopSeconds) {
  std::vector<double> raw(strength.begin(), strength.end());
  for (double& value : raw) value = std::isfinite(value) ? std::max(0.0, value) : 0.0;
  const auto background = MovingMean(raw, static_cast<int>(0.25 / hopSeconds));
  std::vector<double> peaks(raw.size());
  std::vector<double> squares(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    peaks[i] = std::max(0.0, raw[i] - background[i]);
    squares[i] = peaks[i] * peaks[i];
  }
  const auto local = MovingMean(squares, static_cast<int>(3.0 / hopSeconds));
  const double global =
      std::accumulate(squares.begin(), squares.end(), 0.0) / std::max<size_t>(1, squares.size());
  const double floor = std::max(0.0025 * global, 1e-12);
  for (size_t i = 0; i < peaks.size(); ++i) peaks[i] /= std::sqrt(std::max(local[i], floor));
  return peaks;
}

// The lag (in hops) in [shortest, longest] that best repeats values[from, to), each lag
// weighed by a prior around a preferred lag; and how much of the energy repeats there.
struct Period {
  double lag = 0.0;
  double strength = 0.0;
};
Period BestPeriod(const std::vector<double>& values, int from, int to, double shortest,
                  double longest, double preferred, double octaves) {
  const int low = std::max(1, static_cast<int>(std::floor(shortest)));
  const int high = std::min(to - from - 1, static_cast<int>(std::ceil(longest)));
  Period best;
  if (high < low) return best;
  const std::vector<double> correlation = Autocorrelation(values, from, to, low - 1, high + 1);
  double bestScore = -1.0;
  for (int lag = low; lag <= high; ++lag) {
    const double distance = std::log2(lag / preferred) / octaves;
    const double score = correlation[lag] * std::exp(-0.5 * distance * distance);
    if (score > bestScore) {
      bestScore = score;
      best.lag = lag;
      best.strength = correlation[lag];
    }
  }
  // Between hops: the peak of a parabola through the best lag and its neighbours.
  const int at = static_cast<int>(best.lag);
  if (at > 1 && at + 1 < static_cast<int>(correlation.size())) {
    const double left = correlation[at - 1], middle = correlation[at], right = correlation[at + 1];
    const double curve = left - 2 * middle + right;
    if (curve < 0) best.lag += std::clamp(0.5 * (left - right) / curve, -0.5, 0.5);
  }
  return best;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

// The tempo the causal tracker heard, from the middle spacing of its beats; 0 when it
// heard too few.
double TrackedTempo(const std::vector<double>& beats) {
  std::vector<double> gaps;
  for (size_t i = 1; i < beats.size(); ++i) {
    if (beats[i] > beats[i - 1]) gaps.push_back(beats[i] - beats[i - 1]);
  }
  if (gaps.size() < 4) return 0.0;
  return 60.0 / Median(std::move(gaps));
}

// The beat period at every hop, from the song's own period nearby, smoothed.
std::vector<double> LocalPeriods(const std::vector<double>& onsets, double globalLag,
                                 double hopSeconds) {
  const int n = static_cast<int>(onsets.size());
  const int step = std::max(1, static_cast<int>(1.0 / hopSeconds));
  const int half = static_cast<int>(4.0 / hopSeconds);
  const double shortest = 60.0 / kFastestTempo / hopSeconds;
  const double longest = 60.0 / kSlowestTempo / hopSeconds;
  std::vector<double> blocks;
  for (int centre = 0; centre < n; centre += step) {
    const int from = std::max(0, centre - half);
    const int to = std::min(n, centre + half);
    const Period local = BestPeriod(onsets, from, to, std::max(shortest, globalLag / 1.45),
                                    std::min(longest, globalLag * 1.45), globalLag, 0.6);
    blocks.push_back(local.strength > kLeastPeriodicity ? local.lag : globalLag);
  }
  std::vector<double> smoothed(blocks.size());
  for (size_t i = 0; i < blocks.size(); ++i) {
    const size_t from = i >= 2 ? i - 2 : 0;
    const size_t to = std::min(blocks.size(), i + 3);
    smoothed[i] = Median({blocks.begin() + from, blocks.begin() + to});
  }
  std::vector<double> periods(n);
  for (int i = 0; i < n; ++i) periods[i] = smoothed[std::min<size_t>(i / step, blocks.size() - 1)];
  return periods;
}

// The chain of hops that best rewards strong onsets while keeping to the local period
// (beat tracking by dynamic programming over the whole song).
std::vector<int> BestBeatChain(const std::vector<double>& onsets,
                               const std::vector<double>& periods) {
  const int n = static_cast<int>(onsets.size());
  std::vector<double> score(n);
  std::vector<int> previous(n, -1);
  for (int i = 0; i < n; ++i) {
    const double period = periods[i];
    const int from = std::max(0, i - static_cast<int>(std::round(2 * period)));
    const int to = i - static_cast<int>(std::round(period / 2));
    double best = 0.0;
    for (int p = from; p <= to; ++p) {
      const double off = std::log((i - p) / period);
      const double candidate = score[p] - kTightness * off * off;
      if (candidate > best) {
        best = candidate;
        previous[i] = p;
      }
    }
    score[i] = onsets[i] + best;
  }
  // The chain ends at the best score within the last period.
  const int lastStart =
      std::max(0, n - static_cast<int>(std::ceil(periods.empty() ? 1 : periods.back())));
  int end = lastStart;
  for (int i = lastStart; i < n; ++i) {
    if (score[i] > score[end]) end = i;
  }
  std::vector<int> chain;
  for (int i = end; i >= 0 && n > 0; i = previous[i]) chain.push_back(i);
  std::reverse(chain.begin(), chain.end());
  return chain;
}

BeatTimes SteadyGrid(double tempo, double songSeconds) {
  BeatTimes times;
  times.tempo = tempo;
  times.steady = true;
  const double period = 60.0 / tempo;
  for (double at = 0.0; at < songSeconds; at += period) times.beats.push_back(at);
  return times;
}

// Where the song is playing along the chain: from the first to the last bar of beats whose
// onsets are a fair share of the chain's usual ones. Before and after, in a quiet intro or
// end, the chain only wanders among faint sounds.
std::pair<size_t, size_t> PlayingSpan(const std::vector<int>& chain,
                                      const std::vector<double>& onsets) {
  std::vector<double> strengths;
  for (int at : chain) strengths.push_back(onsets[at]);
  const size_t bar = std::min(kBeatsInABar, strengths.size());
  const double least = kPlayingShare * Median(strengths) * static_cast<double>(bar);
  auto barFrom = [&](size_t k) {
    return std::accumulate(strengths.begin() + k, strengths.begin() + k + bar, 0.0);
  };
  size_t first = 0, last = strengths.size() - bar;
  while (first < last && barFrom(first) < least) ++first;
  while (last > first && barFrom(last) < least) --last;
  return {first, last + bar - 1};
}

// The tempo the beats keep most of the time, from spans of several beats so that the hops
// they lie on do not round it.
double TempoOf(const std::vector<double>& beats, double otherwise) {
  const size_t span = beats.size() > kTempoSpan ? kTempoSpan : 1;
  std::vector<double> periods;
  for (size_t i = span; i < beats.size(); ++i) {
    periods.push_back((beats[i] - beats[i - span]) / static_cast<double>(span));
  }
  return periods.empty() ? otherwise : 60.0 / Median(std::move(periods));
}

}  // namespace

double FoldTempo(double tempo) {
  if (!(tempo > 0.0) || !std::isfinite(tempo)) return 0.0;
  while (tempo < kSlowestTempo) tempo *= 2;
  while (tempo > kFastestTempo) tempo /= 2;
  return tempo;
}

BeatTimes FitBeatGrid(const OnsetEnvelope& envelope) {
  const double hop = envelope.hopSeconds;
  const double seconds = envelope.songSeconds;
  const int n = static_cast<int>(envelope.strength.size());
  const double tracked = FoldTempo(TrackedTempo(envelope.trackedBeats));
  if (n < 4 || hop <= 0.0) return SteadyGrid(tracked > 0 ? tracked : 120.0, seconds);

  const std::vector<double> onsets = Emphasise(envelope.strength, hop);
  const double shortest = 60.0 / kFastestTempo / hop;
  const double longest = 60.0 / kSlowestTempo / hop;
  // The tracker settles which octave of the period is the beat; the envelope says exactly
  // where in that octave it lies.
  const double preferred = 60.0 / (tracked > 0 ? tracked : 120.0) / hop;
  Period period = BestPeriod(onsets, 0, n, shortest, longest, preferred, tracked > 0 ? 0.3 : 1.0);
  // A tracker often hears every other beat; where the half period repeats nearly as well
  // and is still a tempo the game plays, the beat is the faster one.
  if (period.lag / 2 >= shortest) {
    const Period half =
        BestPeriod(onsets, 0, n, period.lag / 2 - 1, period.lag / 2 + 1, period.lag / 2, 1.0);
    if (half.strength >= kHalfPeriodShare * period.strength) period = half;
  }
  if (!KeepsABeat(onsets, hop) || period.lag <= 0.0) {
    return SteadyGrid(tracked > 0 ? tracked : 120.0, seconds);
  }

  const std::vector<double> periods = LocalPeriods(onsets, period.lag, hop);
  const std::vector<int> chain = BestBeatChain(onsets, periods);
  if (chain.empty()) return SteadyGrid(60.0 / (period.lag * hop), seconds);
  const auto [first, last] = PlayingSpan(chain, onsets);
  std::vector<double> heard;
  for (size_t k = first; k <= last; ++k) heard.push_back(chain[k] * hop);
  // Carried back over a quiet intro and on over a quiet end at the period of the nearest
  // beats heard clearly.
  const double startPeriod = periods[chain[first]] * hop;
  const double endPeriod = periods[chain[last]] * hop;
  std::vector<double> beats;
  for (double at = heard.front() - startPeriod; at >= 0.0; at -= startPeriod) beats.push_back(at);
  std::reverse(beats.begin(), beats.end());
  for (double at : heard) {
    if (at < seconds && (beats.empty() || at > beats.back())) beats.push_back(at);
  }
  for (double at = heard.back() + endPeriod; at < seconds; at += endPeriod) beats.push_back(at);
  BeatTimes times;
  times.tempo = TempoOf(beats, 60.0 / (period.lag * hop));
  times.beats = std::move(beats);
  return times;
}

}  // namespace fenwhit
