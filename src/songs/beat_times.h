#pragma once
// The beats found in a song: its tempo and the time of each beat, in seconds from the start.
#include <vector>
namespace fenwhit {
struct BeatTimes {
  double tempo = 0.0;          // beats a minute
  bool steady = false;         // no beat was heard: a steady grid at the estimated tempo
  std::vector<double> beats;   // seconds from the song's start, rising
  bool operator==(const BeatTimes&) const = default;
};
}  // namespace fenwhit
