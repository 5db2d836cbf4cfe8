#include "support/replay_bytes.h"

#include <libdeflate.h>

namespace fenwhit::testing {

std::string WithRightCrc(std::string file) {
  const uint32_t crc = libdeflate_crc32(0, file.data(), file.size() - 4);
  for (int i = 0; i < 4; ++i) file[file.size() - 4 + i] = static_cast<char>(crc >> (8 * i));
  return file;
}

std::string Patched(std::string file, size_t at, uint64_t value, int width) {
  for (int i = 0; i < width; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
  return WithRightCrc(std::move(file));
}

std::string ReplayClaimingMostFrames(const std::string& version) {
  Replay game;
  game.gameVersion = version;
  game.player = "EVE";
  game.architecture = std::string(ThisArchitecture());
  game.frames.resize(1);
  game.checksums = {0};
  const uint64_t checksums = kReplayMaxFrames / kReplayChecksumEvery + 1;
  // Zeros deflate to almost nothing: a few kilobytes of file.
  game.startState.resize(checksums * 8 - 8);
  const ReplayHeader header(game);
  std::string file = EncodeReplay(game);
  file = Patched(file, header.frames(), kReplayMaxFrames, 4);
  file = Patched(file, header.checksums(), checksums, 4);
  return Patched(file, header.startState(), 0, 4);
}

}  // namespace fenwhit::testing
