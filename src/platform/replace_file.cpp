#include "platform/replace_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <vector>

#include "platform/file_descriptor.h"

namespace fenwhit {

namespace {

constexpr std::string_view kRandomCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t kRandomLength = 6;
// Names taken by other temporaries before we give up.
constexpr int kMaxAttempts = 100;

std::string RandomSuffix() {
  uint8_t bytes[kRandomLength] = {};
  if (getrandom(bytes, sizeof(bytes), GRND_NONBLOCK) != static_cast<ssize_t>(sizeof(bytes))) {
    // Early in boot there may be no randomness yet; the exclusive create keeps names unique.
    static std::atomic<uint64_t> counter{0};
    uint64_t mix =
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<uint64_t>(getpid()) << 32) ^ counter.fetch_add(0x9e3779b97f4a7c15);
    for (uint8_t& byte : bytes) {
      byte = static_cast<uint8_t>(mix);
      mix = mix >> 8 | mix << 56;
    }
  }
  std::string suffix;
  for (const uint8_t byte : bytes) suffix += kRandomCharacters[byte % kRandomCharacters.size()];
  return suffix;
}

bool IsRandomCharacter(char c) {
  return kRandomCharacters.find(c) != std::string_view::npos;
}

}  // namespace

bool WriteAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = write(fd, contents.data(), contents.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return false;
    if (written == 0) {
      errno = ENOSPC;
      return false;
    }
    contents.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

ReplaceOutcome ReplaceFileAt(int folder, const std::string& name, std::string_view contents,
                             std::string_view tag, bool durable) {
  ReplaceOutcome outcome;
  const auto fail = [&](ReplaceStep step) {
    outcome.failed = step;
    outcome.error = errno;
    if (step != ReplaceStep::kCreate) unlinkat(folder, outcome.temporary.c_str(), 0);
    return outcome;
  };
  int fd = -1;
  for (int attempt = 0; attempt < kMaxAttempts && fd < 0; ++attempt) {
    outcome.temporary = "." + name + std::string(tag) + RandomSuffix();
    fd = openat(folder, outcome.temporary.c_str(),
                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return fail(ReplaceStep::kCreate);
  FileDescriptor file(fd);
  if (!WriteAll(file.get(), contents)) return fail(ReplaceStep::kWrite);
  if (durable && fsync(file.get()) != 0) return fail(ReplaceStep::kFlush);
  // Some file systems report a failed write only when the file is closed.
  if (!file.Close()) return fail(ReplaceStep::kWrite);
  if (renameat(folder, outcome.temporary.c_str(), folder, name.c_str()) != 0) {
    return fail(ReplaceStep::kRename);
  }
  return outcome;
}

bool IsTemporaryName(std::string_view fileName, std::string_view tag) {
  // "." + at least one character of the name + tag + the random part.
  if (fileName.size() < 2 + tag.size() + kRandomLength || fileName.front() != '.') return false;
  const std::string_view random = fileName.substr(fileName.size() - kRandomLength);
  const std::string_view before = fileName.substr(0, fileName.size() - kRandomLength);
  return before.ends_with(tag) && std::all_of(random.begin(), random.end(), IsRandomCharacter);
}

int RemoveTemporaries(int folder, std::string_view tag) {
  const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return 0;
  DIR* entries = fdopendir(listing);
  if (entries == nullptr) {
    close(listing);
    return 0;
  }
  // Names first, removals after: a folder changed while it is listed may list oddly.
  std::vector<std::string> stale;
  while (const dirent* entry = readdir(entries)) {
    if (IsTemporaryName(entry->d_name, tag)) stale.emplace_back(entry->d_name);
  }
  closedir(entries);
  int removed = 0;
  for (const std::string& name : stale) {
    struct stat info {};
    if (fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
      continue;
    }
    if (unlinkat(folder, name.c_str(), 0) == 0) ++removed;
  }
  return removed;
}

}  // namespace fenwhit
