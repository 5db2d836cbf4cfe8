#include "songs/song_listening.h"

#include <filesystem>
#include <system_error>

#include "songs/aubio_library.h"
#include "songs/beat_analysis.h"
#include "songs/beat_cache.h"
#include "songs/song_decoder.h"
#include "songs/song_tags.h"

namespace fenwhit {

namespace {

PreparedSong Prepared(const std::string& path, std::string key, BeatTimes beats) {
  SongTags tags = ReadSongTags(path);
  return {path, std::move(tags.title), std::move(tags.artist), std::move(key), std::move(beats)};
}

}  // namespace

ListenedSong ListenToSong(const std::string& path, const BeatCache& cache,
                          const std::function<void(double)>& progress,
                          const std::atomic<bool>& cancel) {
  ListenedSong listened;
  const std::optional<std::string> key = SongContentKey(path);
  if (!key) {
    std::error_code error;
    listened.why = std::filesystem::exists(path, error) ? "cannot be read" : "not found";
    return listened;
  }
  // The cache holds only what decoded cleanly once: its tags are safe to read.
  if (std::optional<BeatTimes> known = cache.Find(*key)) {
    if (progress) progress(1.0);
    listened.song = Prepared(path, *key, std::move(*known));
    return listened;
  }
  if (LoadAubio(listened.why) == nullptr) return listened;
  std::unique_ptr<SongDecoder> decoder = SongDecoder::Open(path, listened.why);
  if (!decoder) return listened;
  std::optional<BeatTimes> beats = AnalyseBeats(*decoder, progress, cancel);
  decoder.reset();
  if (cancel.load()) {
    listened.cancelled = true;
    return listened;
  }
  if (!beats) {
    listened.why = "cannot be analysed";
    return listened;
  }
  listened.analysed = true;
  // Not kept, it is only analysed again next time.
  std::string notKept;
  cache.Store(*key, *beats, notKept);
  listened.song = Prepared(path, *key, std::move(*beats));
  return listened;
}

}  // namespace fenwhit
