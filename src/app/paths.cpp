#include "app/paths.h"

#include <filesystem>
#include <system_error>

namespace fenwhit {

namespace fs = std::filesystem;

namespace {
std::string dataDirectory;
}

const std::string& DataDirectory() {
  return dataDirectory;
}
void SetDataDirectory(const std::string& directory) {
  dataDirectory = directory;
}

std::string ExecutableDirectory() {
  std::error_code error;
  const fs::path executable = fs::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return executable.parent_path().string();
}

std::vector<std::string> ArchivePlaces(const std::string& archivePath,
                                       const std::string& executableDirectory) {
  std::vector<std::string> places{archivePath};
  if (executableDirectory.empty()) return places;
  const fs::path name = fs::path(archivePath).filename();
  const fs::path folder(executableDirectory);
  places.push_back((folder / name).lexically_normal().string());
  // Relative to the executable, so an installed tree works wherever it was put.
  places.push_back((folder / ".." / "share" / "fenwhit" / name).lexically_normal().string());
  return places;
}

}  // namespace fenwhit
