#pragma once
// The whole state a game frame draws from (game state, ball pool, effect pools and the
// beat flash), saved to a file and loaded back, so that a frame met in a long run can be
// drawn again in a benchmark. The file fits only the build that wrote it.
#include <string>

namespace fenwhit::testing {

bool SaveFrameSnapshot(const std::string& path);
// False, changing nothing, when the file is missing or was written by another build.
bool LoadFrameSnapshot(const std::string& path);

}  // namespace fenwhit::testing
