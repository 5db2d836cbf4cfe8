#pragma once
// Reading a whole asset file into memory.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace fenwhit {

// The bytes of a regular file of 1 to maxBytes bytes; none for anything else. Directories
// and pipes are refused: they could report a meaningless size or block forever.
std::optional<std::vector<uint8_t>> ReadRegularFile(
    const std::string& path, int64_t maxBytes = std::numeric_limits<int64_t>::max());

}  // namespace fenwhit
