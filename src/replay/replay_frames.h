#pragma once
// Frames as replays and the network carry them: as changes from the frame before. A frame
// "like the last" has the last frame's keys and buttons, no beats and no close. The frames are
// a varint count of frames like the last and then, unless that is the end, one that differs:
// a flags byte (1 keys, 2 buttons, 4 beats, 8 close) followed, for keys, by the varint count
// of keys that changed and their scan codes in increasing order, for buttons by the new
// buttons and for beats by the beats (varints). The first frame is compared with one where
// nothing is held.
#include <cstdint>
#include <string>
#include <vector>

#include "common/byte_codec.h"
#include "replay/replay_file.h"

namespace fenwhit {

// What keeps the frame from being stored ("bad mouse buttons", "bad beats"); "" when nothing.
std::string ReplayFrameProblem(const ReplayFrame& frame);

// Frames out of range still encode, to bytes that DecodeReplayFrames refuses.
void EncodeReplayFrames(const std::vector<ReplayFrame>& frames, ByteWriter& out);

// "" when `count` frames fill exactly the rest of `in`. Without `frames` the bytes are only
// walked, so that the frames are stored only once the bytes are known to hold them all.
std::string DecodeReplayFrames(ByteReader in, uint64_t count, std::vector<ReplayFrame>* frames);

}  // namespace fenwhit
