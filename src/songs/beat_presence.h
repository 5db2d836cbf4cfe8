#pragma once
// Whether a song keeps a beat at all. Every envelope repeats somewhat at some lag; a beat
// repeats sharply: onsets that come back after one lag and not a few hundredths earlier or
// later. Pads, drones, noise and notes played freely do not.
#include <vector>

namespace fenwhit {

// onsets: the emphasised onset envelope, a value a hop.
bool KeepsABeat(const std::vector<double>& onsets, double hopSeconds);

}  // namespace fenwhit
