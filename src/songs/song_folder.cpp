#include "songs/song_folder.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

namespace fenwhit {

namespace fs = std::filesystem;

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

class FolderWalk {
 public:
  FolderWalk(const SongListLimits& limits, SongList& list) : limits_(limits), list_(list) {}

  // Adds the songs in `folder`; `depth` more levels of folders below it are looked in.
  void Walk(const fs::path& folder, int depth) {
    std::error_code error;
    fs::directory_iterator entries(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
      if (++seen_ > limits_.maxEntries || list_.paths.size() >= limits_.maxSongs) return;
      const fs::path& entry = entries->path();
      std::error_code statError;
      // status follows links; one that leads nowhere (or round in a circle) is an error.
      const fs::file_status status = fs::status(entry, statError);
      if (statError) continue;
      if (fs::is_regular_file(status) && HasSongExtension(entry.filename().native())) {
        list_.paths.push_back(entry.native());
      } else if (fs::is_directory(status) && depth > 0) {
        folders_.push_back(entry);
      }
    }
  }

  // The folders met at the top level, looked in after it.
  std::vector<fs::path> TakeFolders() { return std::move(folders_); }

 private:
  const SongListLimits& limits_;
  SongList& list_;
  std::vector<fs::path> folders_;
  size_t seen_ = 0;
};

}  // namespace

bool HasSongExtension(std::string_view name) {
  static constexpr std::array<std::string_view, 6> kExtensions = {".ogg",  ".oga", ".opus",
                                                                  ".flac", ".mp3", ".wav"};
  return std::any_of(kExtensions.begin(), kExtensions.end(), [name](std::string_view extension) {
    if (name.size() <= extension.size()) return false;
    const std::string_view end = name.substr(name.size() - extension.size());
    return std::equal(end.begin(), end.end(), extension.begin(),
                      [](char a, char b) { return Lower(a) == b; });
  });
}

SongList ListSongs(const std::string& path, const SongListLimits& limits) {
  SongList list;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status)) {
    list.why = "not found";
    return list;
  }
  if (fs::is_regular_file(status)) {
    list.paths.push_back(path);
    return list;
  }
  if (!fs::is_directory(status)) {
    list.why = "not a file or folder";
    return list;
  }
  FolderWalk walk(limits, list);
  walk.Walk(path, 1);
  std::vector<fs::path> folders = walk.TakeFolders();
  std::sort(folders.begin(), folders.end());
  for (const fs::path& folder : folders) walk.Walk(folder, 0);
  std::sort(list.paths.begin(), list.paths.end());
  if (list.paths.empty()) list.why = "no songs in the folder";
  return list;
}

}  // namespace fenwhit
