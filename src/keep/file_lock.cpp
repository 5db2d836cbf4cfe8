#include "keep/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "keep/atomic_file.h"

namespace fenwhit {

bool LockWithin(int fd, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (true) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

FileLock::FileLock(const std::string& path, std::chrono::milliseconds patience) {
  const std::string lockPath = path + ".lock";
  if (!CreateParentFolders(lockPath, error_)) return;
  fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
  if (fd_ < 0) {
    error_ = "cannot open " + lockPath + ": " + std::strerror(errno);
    return;
  }
  if (LockWithin(fd_, patience)) {
    locked_ = true;
    return;
  }
  const int failure = errno;
  error_ = failure == EWOULDBLOCK ? lockPath + " is held by another process"
                                  : "cannot lock " + lockPath + ": " + std::strerror(failure);
}

FileLock::~FileLock() {
  // Closing releases the lock. The lock file stays: removing it would let a third copy
  // lock a new file while a second one still holds the old.
  if (fd_ >= 0) close(fd_);
}

}  // namespace fenwhit
