#include "app/archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <set>
#include <string_view>
#include <vector>

#include "keep/file_lock.h"
#include "platform/file_descriptor.h"
#include "platform/replace_file.h"

namespace fenwhit {

namespace {

// Marks the temporaries an unpacking writes: ".<name>.fenwhit-unpack-XXXXXX".
constexpr std::string_view kUnpackTag = ".fenwhit-unpack-";
// Longer than any unpacking takes; a copy stuck past it does not hold up this one.
constexpr std::chrono::milliseconds kUnpackPatience{3000};

struct EntryHeader {
  int64_t dataOffset;
  int64_t size;
  std::string name;
};

bool ReadAt(int fd, void* buffer, size_t size, int64_t offset) {
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < size) {
    const ssize_t got = pread(fd, out + done, size - done, static_cast<off_t>(offset + done));
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

int32_t LittleEndian32(const uint8_t* bytes) {
  return static_cast<int32_t>(
      static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
      static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

// Reads and checks the whole table; false if anything runs past the end of the file.
bool ReadTable(int fd, int64_t fileSize, int32_t lastIndex, std::vector<EntryHeader>& table) {
  if (lastIndex < -1) return false;
  const int64_t count = static_cast<int64_t>(lastIndex) + 1;
  if (count > (fileSize - 16) / 12) return false;  // each header takes at least 12 bytes
  int64_t cursor = 16;
  for (int64_t i = 0; i < count; ++i) {
    uint8_t fields[12];
    if (cursor + 12 > fileSize || !ReadAt(fd, fields, 12, cursor)) return false;
    const int64_t position = LittleEndian32(fields);
    const int64_t size = LittleEndian32(fields + 4);
    const int64_t nameLength = LittleEndian32(fields + 8);
    cursor += 12;
    if (position < 1 || size < 0 || nameLength < 0) return false;
    if (cursor + nameLength > fileSize || position - 1 + size > fileSize) return false;
    EntryHeader entry{position - 1, size, std::string(static_cast<size_t>(nameLength), '\0')};
    if (nameLength > 0 && !ReadAt(fd, entry.name.data(), entry.name.size(), cursor)) return false;
    cursor += nameLength;
    table.push_back(std::move(entry));
  }
  return true;
}

// Splits an archive name on "\" (and "/", which Linux would take as a separator too).
// Refuses absolute names, "..", empty components and NUL bytes.
bool SplitSafeName(const std::string& name, std::vector<std::string>& parts) {
  if (name.empty() || name.find('\0') != std::string::npos) return false;
  std::string part;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || name[i] == '\\' || name[i] == '/') {
      if (part.empty() || part == "..") return false;
      if (part != ".") parts.push_back(part);
      part.clear();
    } else {
      part += name[i];
    }
  }
  return !parts.empty();
}

// Opens the folder root/<parts but the last> without following any symbolic link on the way.
int OpenFolderBelowRoot(int rootFd, const std::vector<std::string>& parts) {
  int dirFd = dup(rootFd);
  for (size_t i = 0; i + 1 < parts.size() && dirFd >= 0; ++i) {
    const int next =
        openat(dirFd, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    close(dirFd);
    dirFd = next;
  }
  return dirFd;
}

std::string FolderName(const std::string& root, const std::vector<std::string>& parts) {
  std::string folder = root;
  for (size_t i = 0; i + 1 < parts.size(); ++i) folder += "/" + parts[i];
  return folder;
}

// False only when the entry's file could be made but not written whole.
bool WriteEntry(int archiveFd, int rootFd, const std::string& root, const EntryHeader& entry,
                bool cleanFolders, std::set<std::string>& cleaned, UnpackFailure* failure) {
  std::vector<std::string> parts;
  if (!SplitSafeName(entry.name, parts)) return true;
  std::vector<uint8_t> buffer(static_cast<size_t>(entry.size));
  if (!buffer.empty() && !ReadAt(archiveFd, buffer.data(), buffer.size(), entry.dataOffset)) {
    return true;
  }
  FileDescriptor folder(OpenFolderBelowRoot(rootFd, parts));
  if (!folder.valid()) return true;
  const std::string folderName = FolderName(root, parts);
  if (cleanFolders && cleaned.insert(folderName).second) {
    RemoveTemporaries(folder.get(), kUnpackTag);
  }
  // A copy of the game already running keeps reading the file it opened; the new one
  // takes its name only once it is whole. Nothing here needs to outlive a power cut.
  const std::string_view bytes(reinterpret_cast<const char*>(buffer.data()), buffer.size());
  const ReplaceOutcome outcome =
      ReplaceFileAt(folder.get(), parts.back(), bytes, kUnpackTag, false);
  if (outcome.failed != ReplaceStep::kWrite) return true;
  // A cut-short picture or sound would pass for a damaged one: it never takes the name.
  if (failure != nullptr) *failure = {folderName, outcome.error};
  return false;
}

}  // namespace

UnpackResult UnpackArchive(const std::string& archivePath, const std::string& outputRoot,
                           UnpackFailure* failure) {
  FileDescriptor archive(open(archivePath.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!archive.valid() || fstat(archive.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return UnpackResult::kUnreadable;
  }
  const int64_t fileSize = info.st_size;
  uint8_t header[16];
  if (fileSize < kArchiveSignatureLength ||
      !ReadAt(archive.get(), header, kArchiveSignatureLength, 0) ||
      std::memcmp(header, kArchiveSignature, kArchiveSignatureLength) != 0) {
    return UnpackResult::kBadSignature;
  }
  if (fileSize < 16 || !ReadAt(archive.get(), header + 12, 4, 12)) return UnpackResult::kMalformed;
  std::vector<EntryHeader> table;
  if (!ReadTable(archive.get(), fileSize, LittleEndian32(header + 12), table)) {
    return UnpackResult::kMalformed;
  }
  FileDescriptor root(open(outputRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!root.valid()) return UnpackResult::kOk;  // nothing can be written; entries are skipped
  // Copies starting at once unpack in turn. Only the holder of the lock can tell that a
  // temporary it finds was left by a copy that stopped half way, not one unpacking now.
  const bool alone = LockWithin(root.get(), kUnpackPatience);
  std::set<std::string> cleaned;
  for (const auto& entry : table) {
    if (!WriteEntry(archive.get(), root.get(), outputRoot, entry, alone, cleaned, failure)) {
      return UnpackResult::kWriteFailed;
    }
  }
  return UnpackResult::kOk;
}

const char* DescribeUnpackResult(UnpackResult result) {
  switch (result) {
    case UnpackResult::kOk:
      return "unpacked";
    case UnpackResult::kUnreadable:
      return "missing or unreadable";
    case UnpackResult::kBadSignature:
      return "not an asset archive (wrong signature)";
    case UnpackResult::kMalformed:
      return "damaged (its table or data run past the end of the file)";
    case UnpackResult::kWriteFailed:
      return "not unpacked whole";
  }
  return "unknown";
}

}  // namespace fenwhit
