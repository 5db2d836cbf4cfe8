#pragma once
// Replacing a file by a new one written beside it under a temporary name and renamed into
// place. Nobody ever finds a half-written file under the real name, and whoever has the old
// one open goes on reading it, whole.
#include <string>
#include <string_view>

namespace fenwhit {

enum class ReplaceStep { kDone, kCreate, kWrite, kFlush, kRename };

struct ReplaceOutcome {
  ReplaceStep failed = ReplaceStep::kDone;  // the step that failed
  int error = 0;                            // its errno
  std::string temporary;                    // the temporary's name in the folder
};

// Writes `contents` to a new file (0600) in the open folder named "." + name + tag + six
// random letters or digits, flushes it to the disk when `durable`, and renames it to `name`,
// replacing whatever stands there without following it. On failure the temporary is gone
// and the old file untouched.
ReplaceOutcome ReplaceFileAt(int folder, const std::string& name, std::string_view contents,
                             std::string_view tag, bool durable);

// Whether `fileName` has the form of ReplaceFileAt's temporaries with this tag.
bool IsTemporaryName(std::string_view fileName, std::string_view tag);

// Removes the regular files in the open folder named as temporaries with this tag, left by
// a copy that stopped half way; nothing else. Returns how many went.
int RemoveTemporaries(int folder, std::string_view tag);

// Writes all of `contents`, retrying short writes; false with errno set.
bool WriteAll(int fd, std::string_view contents);

}  // namespace fenwhit
