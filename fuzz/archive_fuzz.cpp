// Unpacks arbitrary bytes as an archive and checks that nothing was written outside
// the output root. The scratch folder holds only the archive and the root.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/archive.h"

namespace fs = std::filesystem;

namespace {

fs::path ScratchBase() {
  static const fs::path base = [] {
    std::string pattern = (fs::temp_directory_path() / "fenwhit-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return fs::path(pattern);
  }();
  return base;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path base = ScratchBase();
  const fs::path archive = base / "input.data";
  const fs::path root = base / "root";
  fs::remove_all(root);
  fs::create_directories(root / "data" / "balls");
  {
    std::ofstream out(archive, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  fenwhit::UnpackArchive(archive.string(), root.string());
  for (const auto& item : fs::directory_iterator(base)) {
    if (item.path() != archive && item.path() != root) std::abort();  // escaped the root
  }
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    if (item.is_symlink()) std::abort();
  }
  return 0;
}
