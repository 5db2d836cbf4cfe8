#pragma once
// The title and artist a song's tags give, as a menu shows them.
#include <cstddef>
#include <string>
#include <string_view>

namespace fenwhit {

struct SongTags {
  std::string title;
  std::string artist;
};

// Tags longer than this are cut: they only ever make one line of the menu.
inline constexpr size_t kMaxTagBytes = 200;

// The tags of a file that has already decoded cleanly (libsndfile's Vorbis reader can lose
// memory over a damaged file). Without a title, the file name less its extension.
SongTags ReadSongTags(const std::string& path);

// The file name of a path without its folders and extension.
std::string SongFileTitle(std::string_view path);

}  // namespace fenwhit
