#include "audio/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace fenwhit {

namespace {

bool ResolveSeek(int64_t offset, int whence, int64_t position, int64_t size, int64_t& target) {
  int64_t base = 0;
  if (whence == SEEK_CUR) {
    base = position;
  } else if (whence == SEEK_END) {
    base = size;
  } else if (whence != SEEK_SET) {
    return false;
  }
  if (offset > 0 && base > INT64_MAX - offset) return false;
  target = base + offset;
  return target >= 0 && target <= size;
}

// The CRC of Ogg pages: polynomial 0x04c11db7, no reflection, initial value 0.
uint32_t OggCrc(const uint8_t* data, size_t size) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t r = i << 24;
      for (int bit = 0; bit < 8; ++bit) r = (r & 0x80000000u) ? (r << 1) ^ 0x04c11db7u : r << 1;
      t[i] = r;
    }
    return t;
  }();
  uint32_t crc = 0;
  for (size_t i = 0; i < size; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ data[i]) & 0xff];
  return crc;
}

// Does the page from bytes[start] to the end carry its own checksum?
bool ChecksumMatches(std::vector<uint8_t>& bytes, size_t start) {
  uint8_t* crcField = &bytes[start + 22];
  uint8_t stored[4];
  std::memcpy(stored, crcField, 4);
  std::memset(crcField, 0, 4);
  const uint32_t crc = OggCrc(&bytes[start], bytes.size() - start);
  std::memcpy(crcField, stored, 4);
  const uint32_t expected =
      stored[0] | (stored[1] << 8) | (stored[2] << 16) | (static_cast<uint32_t>(stored[3]) << 24);
  return crc == expected;
}

// Is there a page at tail[start] that ends exactly at the end of tail, closes its
// stream and carries a correct checksum?
bool IsFinalPageAt(std::vector<uint8_t>& tail, size_t start) {
  constexpr size_t kHeader = 27;
  const size_t n = tail.size();
  if (n - start < kHeader || std::memcmp(&tail[start], "OggS", 4) != 0) return false;
  if (tail[start + 4] != 0) return false;
  const size_t segments = tail[start + 26];
  if (n - start < kHeader + segments) return false;
  size_t body = 0;
  for (size_t i = 0; i < segments; ++i) body += tail[start + kHeader + i];
  if (start + kHeader + segments + body != n) return false;
  if ((tail[start + 5] & 0x04) == 0) return false;
  return ChecksumMatches(tail, start);
}

}  // namespace

size_t MemorySource::Read(void* out, size_t size) {
  const size_t left = bytes_.size() - static_cast<size_t>(position_);
  const size_t count = std::min(size, left);
  if (count > 0) std::memcpy(out, bytes_.data() + position_, count);
  position_ += static_cast<int64_t>(count);
  return count;
}

bool MemorySource::Seek(int64_t offset, int whence) {
  int64_t target = 0;
  if (!ResolveSeek(offset, whence, position_, Size(), target)) return false;
  position_ = target;
  return true;
}

std::unique_ptr<FileSource> FileSource::Open(const std::string& path) {
  // Without O_NONBLOCK, opening a named pipe would wait for a writer forever; the flag
  // changes nothing for the regular files that are kept.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  FILE* file = fdopen(fd, "rb");
  if (file == nullptr) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<FileSource>(new FileSource(file, static_cast<int64_t>(info.st_size)));
}

FileSource::~FileSource() {
  std::fclose(file_);
}

size_t FileSource::Read(void* out, size_t size) {
  return std::fread(out, 1, size, file_);
}

bool FileSource::Seek(int64_t offset, int whence) {
  int64_t target = 0;
  if (!ResolveSeek(offset, whence, Tell(), size_, target)) return false;
  return fseeko(file_, static_cast<off_t>(target), SEEK_SET) == 0;
}

int64_t FileSource::Tell() const {
  return static_cast<int64_t>(ftello(file_));
}

bool EndsWithFinalOggPage(ByteSource& source) {
  constexpr int64_t kLargestPage = 27 + 255 + 255 * 255;
  const int64_t size = source.Size();
  const int64_t tailSize = std::min(size, kLargestPage);
  std::vector<uint8_t> tail(static_cast<size_t>(tailSize));
  bool found = false;
  if (source.Seek(size - tailSize, SEEK_SET) &&
      source.Read(tail.data(), tail.size()) == tail.size()) {
    for (size_t start = tail.size(); start-- > 0 && !found;) found = IsFinalPageAt(tail, start);
  }
  source.Seek(0, SEEK_SET);
  return found;
}

bool StartsWithOggPacket(ByteSource& source, std::string_view prefix) {
  constexpr size_t kHeader = 27;
  std::vector<uint8_t> page(kHeader);
  bool found = false;
  if (source.Seek(0, SEEK_SET) && source.Read(page.data(), kHeader) == kHeader &&
      std::memcmp(page.data(), "OggS", 4) == 0 && page[4] == 0) {
    const size_t segments = page[26];
    page.resize(kHeader + segments);
    if (source.Read(&page[kHeader], segments) == segments) {
      size_t body = 0;
      for (size_t i = 0; i < segments; ++i) body += page[kHeader + i];
      page.resize(kHeader + segments + body);
      found = source.Read(&page[kHeader + segments], body) == body && body >= prefix.size() &&
              std::memcmp(&page[kHeader + segments], prefix.data(), prefix.size()) == 0 &&
              ChecksumMatches(page, 0);
    }
  }
  source.Seek(0, SEEK_SET);
  return found;
}

}  // namespace fenwhit
