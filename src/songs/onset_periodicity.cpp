#include "songs/onset_periodicity.h"

#include <algorithm>
#include <numeric>

namespace fenwhit {

namespace {

double Correlation(const std::vector<double>& values, int lag) {
  double sum = 0.0;
  for (size_t i = static_cast<size_t>(lag); i < values.size(); ++i)
    sum += values[i] * values[i - lag];
  return sum;
}

}  // namespace

std::vector<double> Autocorrelation(const std::vector<double>& values, int from, int to,
                                    int shortest, int longest) {
  std::vector<double> correlation(static_cast<size_t>(std::max(longest, 0)) + 1, 0.0);
  from = std::max(from, 0);
  to = std::min(to, static_cast<int>(values.size()));
  if (to <= from) return correlation;
  std::vector<double> centred(values.begin() + from, values.begin() + to);
  const double mean = std::accumulate(centred.begin(), centred.end(), 0.0) / centred.size();
  for (double& value : centred) value -= mean;
  const double energy = Correlation(centred, 0);
  if (energy <= 0.0) return correlation;
  const int n = static_cast<int>(centred.size());
  for (int lag = std::max(shortest, 1); lag <= longest && lag < n; ++lag) {
    correlation[lag] = Correlation(centred, lag) / energy;
  }
  return correlation;
}

}  // namespace fenwhit
