#pragma once
// Builds archives in the game's format (for the packing tool and for tests).
#include <cstdint>
#include <string>
#include <vector>

namespace fenwhit {

struct ArchiveEntry {
  std::string name;  // relative path with "\" as the separator, e.g. "data\ball.png"
  std::vector<uint8_t> data;
};

// Header, the entry table, then every entry's bytes in table order.
std::vector<uint8_t> BuildArchive(const std::vector<ArchiveEntry>& entries);

// Every regular file directly inside folder, sorted by name, as "data\<file>".
std::vector<ArchiveEntry> CollectAssetFolder(const std::string& folder);

}  // namespace fenwhit
