#pragma once
// A short game recorded through the real program: the autopilot plays it, beats come every
// 20 frames, and Esc leaves it after 400 frames.
#include "replay/replay_file.h"

namespace fenwhit::testing {

Replay RecordShortGame();

}  // namespace fenwhit::testing
