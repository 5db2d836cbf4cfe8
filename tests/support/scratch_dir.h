#pragma once
// A fresh folder below the system's temporary directory, removed afterwards.
#include <filesystem>
#include <string>
#include <vector>

namespace fenwhit::testing {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  void WriteFile(const std::string& relative, const std::vector<uint8_t>& bytes) const;
  // Every regular file below the folder, relative to it, sorted.
  std::vector<std::string> Files() const;

 private:
  std::filesystem::path path_;
};

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

}  // namespace fenwhit::testing
