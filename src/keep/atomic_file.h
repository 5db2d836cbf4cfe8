#pragma once
// Reading and replacing the small files the game keeps. A replaced file is either the old
// one or the new one, whole, even if the game or the machine stops half way.
#include <cstddef>
#include <string>
#include <string_view>

namespace fenwhit {

// Creates every missing folder above `path` (owner-only, 0700). False with `error` (naming
// the folder and the reason) when one cannot be made.
bool CreateParentFolders(const std::string& path, std::string& error);

// Writes `contents` to a temporary file beside `path` (mode 0600), flushes it to the disk
// and renames it over `path`. On failure the old file is untouched, no temporary file is
// left behind and `error` names the file and the reason.
bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string& error);

// The file `path` names once the symbolic links it is (at most 40 in a row) are followed,
// a relative one from the link's own folder; a link to nothing gives the file it would
// name. Folders on the way are not resolved: writing through them lands in the same place.
// False with `error` for a loop or a link that cannot be read.
bool FollowSymbolicLinks(const std::string& path, std::string& target, std::string& error);

enum class ReadResult { kOk, kMissing, kTooLarge, kUnreadable };

// Reads a regular file of at most maxBytes. Never reads more than maxBytes + 1 bytes, so a
// huge or endless file costs nothing; anything but a regular file is kUnreadable. `error`
// gets the reason (without the path) for kUnreadable.
ReadResult ReadSmallFile(const std::string& path, size_t maxBytes, std::string& contents,
                         std::string& error);

}  // namespace fenwhit
