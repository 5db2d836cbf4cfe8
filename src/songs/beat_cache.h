#pragma once
// The beats of every song analysed before, kept under a hash of the song's content so
// that a song is analysed once, whatever it is called or wherever it lies. One small text
// file a song; a damaged entry, or one another version wrote, is as good as none.
#include <optional>
#include <string>
#include <string_view>

#include "songs/beat_times.h"

namespace fenwhit {

// The key of a song: the hash of its whole content. nullopt when it cannot be read.
std::optional<std::string> SongContentKey(const std::string& path);

std::string FormatBeatTimes(const BeatTimes& beats);
// nullopt unless the text is a whole entry of this version within the limits: at most
// 100,000 beats, rising, within the first 24 hours, at a tempo of at most 1,000.
std::optional<BeatTimes> ParseBeatTimes(std::string_view text);

class BeatCache {
 public:
  // "" keeps nothing.
  explicit BeatCache(std::string folder) : folder_(std::move(folder)) {}

  std::optional<BeatTimes> Find(const std::string& key) const;
  // Replaces the entry atomically; false with `error` when it cannot be written.
  bool Store(const std::string& key, const BeatTimes& beats, std::string& error) const;

 private:
  std::string folder_;
};

}  // namespace fenwhit
