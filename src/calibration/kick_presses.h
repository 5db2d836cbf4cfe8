#pragma once
// The player's presses on the kicks of the beat track, each set against the nearest kick
// as the game reckons it heard, and the change of offset they ask for.
#include <optional>
#include <vector>

namespace fenwhit {

// The beat track's kick comes once a loop: 14700 frames at 44.1 kHz, 180 a minute.
inline constexpr double kBeatTrackKickSeconds = 14700.0 / 44100.0;

class KickPresses {
 public:
  // Kicks heard before the presses count, for the player to find the beat.
  static constexpr int kLeadInKicks = 4;
  // The kicks pressed on.
  static constexpr int kKicks = 16;
  // Fewer presses than this say too little to save.
  static constexpr int kFewestPresses = 8;

  explicit KickPresses(double kickSeconds = kBeatTrackKickSeconds) : kickSeconds_(kickSeconds) {}

  // A press when the sound heard stands heardSeconds into the track (its first kick at 0).
  // Counted when its nearest kick is one of those pressed on and had no press yet.
  void Press(double heardSeconds);
  // Whether the kicks pressed on have begun (half a kick before the first of them).
  bool Pressing(double heardSeconds) const;
  // Half a kick after the last one pressed on.
  bool Over(double heardSeconds) const;
  int Presses() const { return static_cast<int>(offsets_.size()); }
  // How many milliseconds later than reckoned the kicks are heard: the median of the
  // presses' offsets; none with too few presses.
  std::optional<int> LateByMs() const;

 private:
  double kickSeconds_;
  std::vector<double> offsets_;  // seconds from each press's kick
  std::vector<int> kicksPressed_;
};

}  // namespace fenwhit
