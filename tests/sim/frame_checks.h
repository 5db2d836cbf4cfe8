#pragma once
// What must hold after every frame of a game, and the tally of what the games did.
#include <cstdint>
#include <string>
#include <vector>

#include "events/pool_records.h"

namespace fenwhit::sim {

struct Tally {
  long frames = 0;
  long gameFrames = 0;
  long games = 0;
  long gamesEnded = 0;
  std::vector<long> gameLengths;  // frames of each ended game
  long applications[51] = {};     // by event number + 1: [0] counts cancelled events
  long doubleEvents = 0;
  long cancels = 0;
};

// What the renderer saw of the frame just drawn.
struct DrawnFrame {
  bool title = false;
  int32_t titleBeat = 0;  // the beat count when the title was drawn
  bool scene = false;
  float sceneScaleY = 0;
  long drawCalls = 0;  // sprites, glyphs, rectangles and lines
};

class FrameChecks {
 public:
  // Called as a game frame starts: the state the frame's score is judged against.
  void FrameStarts();
  // Called once per frame, at its input pump. Returns an empty string, or what broke.
  std::string AfterFrame(bool inGame, const DrawnFrame& drawn);
  const Tally& tally() const { return tally_; }

 private:
  std::string CheckPools() const;
  std::string CheckScore();
  std::string CheckBounds(const DrawnFrame& drawn) const;
  void CountEvents();
  void Remember();

  Tally tally_;
  bool wasInGame_ = false;
  bool started_ = false;
  long gameFrames_ = 0;
  // The state at the start of the frame, for the score.
  int32_t score_ = 0;
  int64_t liveBalls_ = 0;
  int64_t liveShots_ = 0;
  Brick bricks_[kPoolLast + 1] = {};
  Invader invaders_[kPoolLast + 1] = {};
  // The state at the previous pump, for the checks of change.
  float wavePeriod_ = 0;
  int32_t eventNumber_ = 0;
  int32_t doubleEvent_ = 0;
  int32_t cancels_ = 0;
  double glowScale_ = 0;
  float ballScaleAdd_ = 0;
  double squeezeY_ = 0;
};

}  // namespace fenwhit::sim
