#pragma once
// Where the archive is unpacked: a private folder of this user below the temporary
// directory. /tmp is shared by every user, so the folder must be ours and no link.
#include <string>

namespace fenwhit {

// $TMPDIR if set and not empty, else /tmp.
std::string TemporaryDirectory();

// Creates (or checks) <temporaryDirectory>/fenwhit-<uid> with owner-only permissions,
// and data/ and data/balls/ inside it. Returns the folder, or "" with error set.
std::string PrepareOutputRoot(const std::string& temporaryDirectory, std::string& error);

}  // namespace fenwhit
