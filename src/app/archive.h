#pragma once
// The asset archive: a signature, a table of entries (data position, size, name) and
// the entries' bytes. Unpacking writes each entry below an output root.
#include <string>

namespace fenwhit {

inline constexpr char kArchiveSignature[] = "MORVAQUENTI7";  // 12 characters, no terminator
inline constexpr int kArchiveSignatureLength = 12;

enum class UnpackResult {
  kOk,
  kUnreadable,    // missing or cannot be read
  kBadSignature,  // not an archive of ours
  kMalformed,     // table or data running past the end, negative counts or sizes
  kWriteFailed,   // a file was made but not written whole (a full disk); see UnpackFailure
};

// Where and why writing failed.
struct UnpackFailure {
  std::string folder;
  int error = 0;  // errno
};

// Checks the whole table before writing anything, so a refused archive writes nothing.
// Entries whose names are absolute, contain "..", a NUL byte or an empty component are
// skipped; nothing is ever written outside outputRoot, and no symbolic link is followed.
// Each entry is written beside its file under a temporary name and renamed into place, so
// a copy of the game reading the old file keeps it whole. An entry whose file cannot be made
// is skipped too; one that cannot be written whole stops the unpacking with kWriteFailed,
// leaving the old file as it was. Temporaries a copy left behind when it stopped half way
// are removed from the folders written to.
UnpackResult UnpackArchive(const std::string& archivePath, const std::string& outputRoot,
                           UnpackFailure* failure = nullptr);

const char* DescribeUnpackResult(UnpackResult result);

}  // namespace fenwhit
