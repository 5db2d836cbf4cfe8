#include "support/scratch_dir.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fenwhit::testing {

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "fenwhit-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void ScratchDir::WriteFile(const std::string& relative, const std::vector<uint8_t>& bytes) const {
  const auto target = path_ / relative;
  std::filesystem::create_directories(target.parent_path());
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> ScratchDir::Files() const {
  std::vector<std::string> files;
  for (const auto& item : std::filesystem::recursive_directory_iterator(path_)) {
    if (item.is_regular_file() && !item.is_symlink()) {
      files.push_back(std::filesystem::relative(item.path(), path_).string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace fenwhit::testing
