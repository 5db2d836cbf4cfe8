#include "keep/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/file_descriptor.h"
#include "platform/replace_file.h"

namespace fenwhit {

namespace {

std::string Reason() {
  return std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

bool CreateParentFolders(const std::string& path, std::string& error) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    if (folder.empty() || folder.back() == '/') continue;
    // An existing file in the way shows up when the next step fails with "not a directory".
    if (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) continue;
    const std::string reason = Reason();
    struct stat info {};
    if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
    error = "cannot create " + folder + ": " + reason;
    return false;
  }
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string& error) {
  if (!CreateParentFolders(path, error)) return false;
  const std::string folder = FolderOf(path);
  FileDescriptor folderHandle(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folderHandle.valid()) {
    error = "cannot open " + folder + ": " + Reason();
    return false;
  }
  const ReplaceOutcome outcome =
      ReplaceFileAt(folderHandle.get(), path.substr(path.rfind('/') + 1), contents, ".", true);
  const std::string reason = std::strerror(outcome.error);
  const std::string temporary = folder + "/" + outcome.temporary;
  switch (outcome.failed) {
    case ReplaceStep::kDone:
      break;
    case ReplaceStep::kCreate:
      error = "cannot create a file in " + folder + ": " + reason;
      return false;
    case ReplaceStep::kWrite:
      error = "cannot write " + temporary + ": " + reason;
      return false;
    case ReplaceStep::kFlush:
      error = "cannot flush " + temporary + ": " + reason;
      return false;
    case ReplaceStep::kRename:
      error = "cannot replace " + path + ": " + reason;
      return false;
  }
  // Makes the rename itself last. Some file systems refuse to flush a folder; the file is
  // in place all the same, so that is no failure.
  fsync(folderHandle.get());
  return true;
}

bool FollowSymbolicLinks(const std::string& path, std::string& target, std::string& error) {
  constexpr int kMaxLinks = 40;  // as the kernel allows in one path
  target = path;
  for (int followed = 0; followed <= kMaxLinks; ++followed) {
    struct stat info {};
    if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    std::string link(PATH_MAX, '\0');
    const ssize_t length = readlink(target.c_str(), link.data(), link.size());
    if (length <= 0 || static_cast<size_t>(length) >= link.size()) {
      error = "cannot follow the link " + target + ": " + (length < 0 ? Reason() : "too long");
      return false;
    }
    link.resize(static_cast<size_t>(length));
    target = link.front() == '/' ? link : FolderOf(target) + "/" + link;
  }
  error = "cannot follow the link " + path + ": " + std::strerror(ELOOP);
  return false;
}

ReadResult ReadSmallFile(const std::string& path, size_t maxBytes, std::string& contents,
                         std::string& error) {
  contents.clear();
  // Non-blocking, so that opening a FIFO put in the file's place returns at once.
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (file.get() < 0) {
    // A file in place of a folder on the way means there is no such file either.
    if (errno == ENOENT || errno == ENOTDIR) return ReadResult::kMissing;
    error = Reason();
    return ReadResult::kUnreadable;
  }
  struct stat info {};
  if (fstat(file.get(), &info) != 0) {
    error = Reason();
    return ReadResult::kUnreadable;
  }
  if (!S_ISREG(info.st_mode)) {
    error = "not a regular file";
    return ReadResult::kUnreadable;
  }
  // The size is only a hint: the file may grow while it is read.
  const size_t limit = maxBytes < SIZE_MAX ? maxBytes + 1 : maxBytes;
  contents.resize(std::min(limit, std::max<size_t>(static_cast<size_t>(info.st_size), 4096)));
  size_t done = 0;
  while (done < limit) {
    if (done == contents.size()) contents.resize(std::min(limit, contents.size() * 2));
    const ssize_t got = read(file.get(), contents.data() + done, contents.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = Reason();
      contents.clear();
      return ReadResult::kUnreadable;
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  contents.resize(done);
  if (done > maxBytes) {
    contents.clear();
    return ReadResult::kTooLarge;
  }
  return ReadResult::kOk;
}

}  // namespace fenwhit
