#pragma once
// The whole state a game frame draws from: game state, ball pool, effect pools and the
// beat flash. Taken and restored in memory, so the same frame can run again and again,
// and saved to a file and loaded back, so that a frame met in a long run can be drawn
// again in a benchmark. A file fits only the build that wrote it. Large: keep it in
// static storage.
#include <cstdint>
#include <string>

#include "events/pool_records.h"
#include "game/balls.h"
#include "game/game_state.h"

namespace fenwhit::testing {

class FrameSnapshot {
 public:
  void Take();
  void Restore() const;
  bool Save(const std::string& path) const;
  // False, changing nothing, when the file is missing or was written by another build.
  bool Load(const std::string& path);

 private:
  int32_t beatFlash_ = 0;
  GameState state_;
  Ball balls_[kBallPoolSize];
  decltype(obstacles) obstacles_;
  decltype(bricks) bricks_;
  decltype(invaders) invaders_;
  decltype(shots) shots_;
  decltype(particles) particles_;
};

}  // namespace fenwhit::testing
