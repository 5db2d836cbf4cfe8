#pragma once
// How an onset envelope repeats: the tools both the beat grid and the test for a beat use.
#include <vector>

namespace fenwhit {

// values[from, to) less its mean, correlated with itself after each lag in [shortest,
// longest] and scaled so that lag 0 would give 1; 0 for lags outside that range or beyond
// the stretch, and everywhere for a flat stretch. Sized longest + 1.
std::vector<double> Autocorrelation(const std::vector<double>& values, int from, int to,
                                    int shortest, int longest);

}  // namespace fenwhit
