#pragma once
// Replay files changed byte by byte, for tests of what the reader refuses.
#include <cstddef>
#include <cstdint>
#include <string>

#include "replay/replay_file.h"

namespace fenwhit::testing {

// Where each header field of an encoding of `replay` starts.
struct ReplayHeader {
  explicit ReplayHeader(const Replay& replay)
      : song(9 + 1 + replay.gameVersion.size() + 1 + replay.player.size() + 1 +
             replay.architecture.size()),
        kind(song + 1 + replay.song.title.size() + 1 + replay.song.contentKey.size() + 2 +
             replay.song.path.size()) {}
  size_t song;  // the title's length byte
  size_t kind;
  size_t mode() const { return kind + 4; }
  size_t score() const { return kind + 24; }
  size_t frames() const { return kind + 32; }
  size_t checksums() const { return kind + 36; }
  size_t startState() const { return kind + 40; }
  size_t body() const { return kind + 44; }
  size_t deflated() const { return kind + 48; }
};

// The file with its CRC made right for its bytes, so that what refuses it is not the CRC.
std::string WithRightCrc(std::string file);

// The file with `width` bytes at `at` replaced by `value`, its CRC made right.
std::string Patched(std::string file, size_t at, uint64_t value, int width);

// A game of one frame, of game version `version`, whose file claims the most frames a replay
// may have, with room in its body for all of their checksums but not for the frames.
std::string ReplayClaimingMostFrames(const std::string& version);

}  // namespace fenwhit::testing
