#include "keep/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/file_descriptor.h"

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

bool WriteAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = write(fd, contents.data(), contents.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return false;
    if (written == 0) {
      errno = EIO;
      return false;
    }
    contents.remove_prefix(static_cast<size_t>(written));
  }
  return true;
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
  const std::string name = path.substr(path.rfind('/') + 1);
  std::string temporary = folder + "/." + name + ".XXXXXX";
  FileDescriptor file(mkostemp(temporary.data(), O_CLOEXEC));
  if (file.get() < 0) {
    error = "cannot create a file in " + folder + ": " + Reason();
    return false;
  }
  const auto fail = [&](const std::string& what) {
    error = what + " " + temporary + ": " + Reason();
    unlink(temporary.c_str());
    return false;
  };
  if (!WriteAll(file.get(), contents)) return fail("cannot write");
  if (fsync(file.get()) != 0) return fail("cannot flush");
  if (!file.Close()) return fail("cannot write");
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = Reason();
    unlink(temporary.c_str());
    error = "cannot replace " + path + ": " + reason;
    return false;
  }
  // Makes the rename itself last. Some file systems refuse to flush a folder; the file is
  // in place all the same, so that is no failure.
  FileDescriptor folderHandle(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folderHandle.get() >= 0) fsync(folderHandle.get());
  return true;
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
