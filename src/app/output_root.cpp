#include "app/output_root.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace fenwhit {

std::string TemporaryDirectory() {
  const char* value = std::getenv("TMPDIR");
  if (value != nullptr && value[0] != '\0') return value;
  return "/tmp";
}

std::string PrepareOutputRoot(const std::string& temporaryDirectory, std::string& error) {
  const std::string root = temporaryDirectory + "/fenwhit-" + std::to_string(getuid());
  if (mkdir(root.c_str(), 0700) != 0 && errno != EEXIST) {
    error = "cannot create " + root + ": " + std::strerror(errno);
    return "";
  }
  struct stat info {};
  if (lstat(root.c_str(), &info) != 0) {
    error = "cannot examine " + root + ": " + std::strerror(errno);
    return "";
  }
  if (S_ISLNK(info.st_mode)) {
    error = root + " is a symbolic link; refusing to write through it";
    return "";
  }
  if (!S_ISDIR(info.st_mode)) {
    error = root + " exists and is not a directory";
    return "";
  }
  if (info.st_uid != getuid()) {
    error = root + " belongs to another user";
    return "";
  }
  if ((info.st_mode & 077) != 0 && chmod(root.c_str(), 0700) != 0) {
    error = "cannot make " + root + " private: " + std::strerror(errno);
    return "";
  }
  // Failures here (for example, the folders exist already) are harmless: an entry that
  // cannot be written is skipped.
  mkdir((root + "/data").c_str(), 0700);
  mkdir((root + "/data/balls").c_str(), 0700);
  return root;
}

}  // namespace fenwhit
