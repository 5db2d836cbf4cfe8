#pragma once
// Where compressed sound data comes from: a file read as it is needed, or bytes in
// memory. Both are untrusted; every read is bounded by what is really there.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fenwhit {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to size bytes; returns how many (0 at the end or on error).
  virtual size_t Read(void* out, size_t size) = 0;
  // whence as for fseek. Returns false when the position would fall outside the data.
  virtual bool Seek(int64_t offset, int whence) = 0;
  virtual int64_t Tell() const = 0;
  virtual int64_t Size() const = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  size_t Read(void* out, size_t size) override;
  bool Seek(int64_t offset, int whence) override;
  int64_t Tell() const override { return position_; }
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }

 private:
  std::vector<uint8_t> bytes_;
  int64_t position_ = 0;
};

class FileSource : public ByteSource {
 public:
  // nullptr when the file cannot be opened or is not a regular file.
  static std::unique_ptr<FileSource> Open(const std::string& path);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  size_t Read(void* out, size_t size) override;
  bool Seek(int64_t offset, int whence) override;
  int64_t Tell() const override;
  int64_t Size() const override { return size_; }

 private:
  FileSource(FILE* file, int64_t size) : file_(file), size_(size) {}
  FILE* file_;
  int64_t size_;
};

// True when the data ends with a complete Ogg page that closes its stream: a file cut
// short anywhere (or followed by junk) fails this. Leaves the position at 0.
bool EndsWithFinalOggPage(ByteSource& source);

// True when the data starts with a whole Ogg page, its checksum correct, whose body
// starts with `prefix` (a codec's header). Leaves the position at 0.
bool StartsWithOggPacket(ByteSource& source, std::string_view prefix);

}  // namespace fenwhit
