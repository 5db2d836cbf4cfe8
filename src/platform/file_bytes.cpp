#include "platform/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace fenwhit {

std::optional<std::vector<uint8_t>> ReadRegularFile(const std::string& path, int64_t maxBytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  // Closes the file on every way out, a failed allocation included.
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  std::optional<std::vector<uint8_t>> bytes;
  struct stat info {};
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
      info.st_size <= maxBytes) {
    bytes.emplace(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < bytes->size()) {
      const ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<size_t>(got);
    }
    if (done != bytes->size()) bytes.reset();
  }
  return bytes;
}

}  // namespace fenwhit
