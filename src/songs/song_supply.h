#pragma once
// Where the songs of the player's come from, in the order they play, each with its beats
// already found. The menu's choice is one; the games take their songs from it.
#include <optional>
#include <string>

#include "songs/beat_times.h"

namespace fenwhit {

struct PreparedSong {
  std::string path;
  std::string title;       // the tags' title, else the file name
  std::string artist;      // the tags' artist; may be empty
  std::string contentKey;  // the hash of the file's whole content
  BeatTimes beats;
  bool operator==(const PreparedSong&) const = default;
};

// Safe to call from any thread.
class SongSupply {
 public:
  virtual ~SongSupply() = default;
  // The song the next game starts with, moving the choice on to the song after it; nullopt
  // when the game's own music plays (none chosen, the player switched to the game's own, or
  // the song is not ready).
  virtual std::optional<PreparedSong> TakeSongForGame() = 0;
  // During a game, as `current` nears its end: the song that follows it if one is ready now,
  // moving the choice on as TakeSongForGame does; nullopt: `current` plays again.
  virtual std::optional<PreparedSong> TakeSongAfter(const PreparedSong& current) = 0;
  // A chosen song could not be played after all (deleted, damaged past its start): the menu
  // says so in a few words and the song is passed over from now on.
  virtual void CannotPlay(const std::string& path, const std::string& why) = 0;
};

}  // namespace fenwhit
