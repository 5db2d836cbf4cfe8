#pragma once
// One frame of a network game as both machines run it, from what each player pressed.
#include "replay/replay_file.h"

namespace fenwhit {

// Each player plays with the one-paddle keys (up, down, fire, as at home); the rules read
// the two-paddle layout, so the host's become the left paddle's keys and the guest's the
// right's. Either player can refuse an event. The beats are the host's alone; a close from
// either counts.
ReplayFrame MergeFrames(const ReplayFrame& host, const ReplayFrame& guest);

}  // namespace fenwhit
