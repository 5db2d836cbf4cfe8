#include "replay/replay_song.h"

#include <filesystem>
#include <memory>
#include <set>
#include <system_error>

#include "songs/beat_cache.h"
#include "songs/song_stream.h"

namespace fenwhit {

namespace {

namespace fs = std::filesystem;

constexpr int kMostEntriesWalked = kMostSongFilesRead * 10;

// The replay gives every beat; the song only sounds.
class NoBeats final : public BeatCounter {
 public:
  int32_t Count() override { return 0; }
};

// One search: files are read once each, and only so many.
class SongSearch {
 public:
  explicit SongSearch(std::string key) : key_(std::move(key)) {}

  bool Matches(const fs::path& file) {
    if (filesRead_ >= kMostSongFilesRead || !tried_.insert(file.lexically_normal()).second) {
      return false;
    }
    // Only plain files count against the bound. An empty one is no song (nor is what /proc
    // holds, which says it is empty and may read on without end).
    std::error_code error;
    if (!fs::is_regular_file(file, error) || fs::file_size(file, error) == 0 || error) {
      return false;
    }
    ++filesRead_;
    return SongContentKey(file.string()) == key_;
  }

  // The first match among the folder's files (and, within, those of the folders inside it).
  template <typename Walk>
  std::optional<std::string> InFolder(const fs::path& folder) {
    std::error_code error;
    Walk walk(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && walk != Walk(); walk.increment(error)) {
      if (++entriesWalked_ > kMostEntriesWalked || filesRead_ >= kMostSongFilesRead) break;
      if (Matches(walk->path())) return walk->path().string();
    }
    return std::nullopt;
  }

 private:
  std::string key_;
  std::set<fs::path> tried_;
  int filesRead_ = 0;
  int entriesWalked_ = 0;
};

}  // namespace

std::optional<std::string> FindReplaySong(const ReplaySong& song, const std::string& musicSetting) {
  if (song.contentKey.empty()) return std::nullopt;
  SongSearch search(song.contentKey);
  if (!song.path.empty()) {
    const fs::path recorded(song.path);
    if (search.Matches(recorded)) return song.path;
    const fs::path folder = recorded.has_parent_path() ? recorded.parent_path() : ".";
    if (auto found = search.InFolder<fs::directory_iterator>(folder)) return found;
  }
  if (musicSetting.empty()) return std::nullopt;
  if (search.Matches(musicSetting)) return musicSetting;
  return search.InFolder<fs::recursive_directory_iterator>(musicSetting);
}

ReplaySongMusic::ReplaySongMusic(ReplaySong song, std::optional<std::string> path,
                                 std::ostream& err)
    : song_(std::move(song)), path_(std::move(path)), err_(err) {}

bool ReplaySongMusic::StartGameMusic() {
  if (!path_) {
    PlayWithoutMusic("is not here");
    return true;
  }
  OpenedSong opened = OpenSong(TheSoundDevice(), *path_);
  if (opened.stream == 0) {
    PlayWithoutMusic("cannot play (" + opened.error + ")");
    return true;
  }
  StartSongGameMusic(opened.stream, std::make_unique<NoBeats>());
  SetGameSong({song_.title, song_.contentKey, *path_});
  return true;
}

void ReplaySongMusic::PlayWithoutMusic(const std::string& why) {
  err_ << "fenwhit: the song \"" << song_.title << "\" this game was played to " << why
       << "; the replay plays without music\n";
  err_.flush();
  // The null stream plays nothing; the beat thread runs, as the replay needs it to.
  StartSongGameMusic(0, std::make_unique<NoBeats>());
}

}  // namespace fenwhit
