#pragma once
// An exclusive lock beside a kept file, so that two copies of the game running at once take
// turns at "re-read, merge, write". Waiting is bounded: a stuck copy never hangs this one,
// which then goes on unlocked.
#include <chrono>
#include <string>

namespace fenwhit {

// Takes an exclusive flock on an open file or folder, trying for up to `patience`. False
// with errno set (EWOULDBLOCK: another holds it still).
bool LockWithin(int fd, std::chrono::milliseconds patience);

class FileLock {
 public:
  // Locks <path>.lock (created 0600, with its folders), trying for up to `patience`.
  explicit FileLock(const std::string& path,
                    std::chrono::milliseconds patience = std::chrono::seconds(2));
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool locked() const { return locked_; }
  // Why it is not locked.
  const std::string& error() const { return error_; }

 private:
  int fd_ = -1;
  bool locked_ = false;
  std::string error_;
};

}  // namespace fenwhit
