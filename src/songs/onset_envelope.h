#pragma once
// What a first hearing of a song gives the beat grid: how strongly something starts at each
// hop of the song, and the beats aubio's own causal tracker heard.
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

namespace fenwhit {

class SongDecoder;

struct OnsetEnvelope {
  std::vector<float> strength;  // one a hop
  double hopSeconds = 0.0;
  double songSeconds = 0.0;
  std::vector<double> trackedBeats;  // seconds, as aubio heard them while listening
};

// Null when cancel was set before the end.
std::optional<OnsetEnvelope> ListenForOnsets(SongDecoder& song,
                                             const std::function<void(double)>& progress,
                                             const std::atomic<bool>& cancel);

}  // namespace fenwhit
