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
};

// Checks the whole table before writing anything, so a refused archive writes nothing.
// Entries whose names are absolute, contain "..", a NUL byte or an empty component are
// skipped; nothing is ever written outside outputRoot, and no symbolic link is followed.
UnpackResult UnpackArchive(const std::string& archivePath, const std::string& outputRoot);

const char* DescribeUnpackResult(UnpackResult result);

}  // namespace fenwhit
