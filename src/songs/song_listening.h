#pragma once
// Listening to one song for its beats: from the cache when it was listened to before, else
// by analysing it (and keeping what was found).
#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "songs/song_supply.h"

namespace fenwhit {

class BeatCache;

struct ListenedSong {
  std::optional<PreparedSong> song;
  std::string why;         // without a song: what is wrong with the file
  bool cancelled = false;  // given up: neither a song nor a fault of the file's
  bool analysed = false;   // the beats were found now, not taken from the cache
};

// progress hears 0..1 while the song is analysed; cancel gives up promptly.
ListenedSong ListenToSong(const std::string& path, const BeatCache& cache,
                          const std::function<void(double)>& progress,
                          const std::atomic<bool>& cancel);

}  // namespace fenwhit
