#pragma once
// The songs a dropped path stands for: the file itself, or the songs of a folder (and of
// the folders in it, one level down), found by their extension.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fenwhit {

struct SongListLimits {
  size_t maxSongs = 10000;
  // Folder entries looked at in all, songs or not: a huge folder cannot hold up the menu.
  size_t maxEntries = 100000;
};

struct SongList {
  std::vector<std::string> paths;  // sorted, so a listing is the same from run to run
  std::string why;                 // when there are none: a few words saying why
};

// Whether a file name ends in one of the song extensions (.ogg .oga .opus .flac .mp3 .wav),
// in any case.
bool HasSongExtension(std::string_view name);

// A file is taken whatever its extension (its decoding says whether it is a song).
// Symbolic links are followed; a link in a circle or to nowhere is passed over.
SongList ListSongs(const std::string& path, const SongListLimits& limits = {});

}  // namespace fenwhit
