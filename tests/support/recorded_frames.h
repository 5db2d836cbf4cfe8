#pragma once
// Frames of a recorded game, caught as the game drew them: the game is played back on the
// scripted platform and the drawing calls of the chosen frames are kept, so they can be
// drawn again by any renderer.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "gfx/pictures.h"
#include "gfx/recording_renderer.h"

namespace fenwhit::testing {

struct RecordedFrame {
  int64_t number = 0;  // counted from 1 at the first frame presented
  int32_t width = 0;   // the screen mode's picture
  int32_t height = 0;
  // From the frame's clear to its presentation, after the blend and colour in force.
  std::vector<DrawCall> calls;
};

struct RecordedFrames {
  std::vector<RecordedFrame> frames;
  Pictures pictures;  // the textures the calls name
  std::string error;  // empty when the game played back as recorded
};

// The frames of the replay file whose numbers are given, and its busiest frame (the most
// drawing calls) besides.
RecordedFrames CatchFrames(const std::string& replayPath, const std::set<int64_t>& numbers);

// Draws a caught frame with the renderer, its textures taken from `into`, the same
// pictures uploaded to the renderer.
void DrawRecordedFrame(const RecordedFrame& frame, const Pictures& caught, const Pictures& into);

}  // namespace fenwhit::testing
