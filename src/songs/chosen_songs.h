#pragma once
// The player's music as the menu chose it: a song, or a folder's songs shuffled, each game
// taking the next. A worker listens to the song the next game needs (and, during a game, to
// the one after) at a low priority; the menu reads how far it has got and may give up.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "songs/beat_cache.h"
#include "songs/song_folder.h"
#include "songs/song_supply.h"

namespace fenwhit {

// What the menu shows of the choice.
struct ChosenSongsView {
  bool chosen = false;    // songs were found where the player pointed
  bool ownMusic = false;  // the game's own music plays for now
  // While the song for the next game is being listened to: how far, 0..1.
  std::optional<double> listening;
  // The song the next game starts with, once it is ready.
  std::optional<PreparedSong> next;
  // The last thing gone wrong ("CAN'T PLAY ..." or an empty folder); the serial grows
  // with each, so the menu can show it for a while.
  std::string troubleName;
  std::string troubleWhy;
  uint64_t troubleSerial = 0;
};

class ChosenSongs final : public SongSupply {
 public:
  // cacheFolder: where beats are kept ("" keeps none). The shuffle has its own generator:
  // the game's own sequence must stay as its replays have it.
  explicit ChosenSongs(std::string cacheFolder, uint64_t shuffleSeed = std::random_device{}(),
                       SongListLimits limits = {});
  ~ChosenSongs() override;
  ChosenSongs(const ChosenSongs&) = delete;
  ChosenSongs& operator=(const ChosenSongs&) = delete;

  // Plays the games to the songs at `path` from now on (and to the player's music, not the
  // game's own). False when none were found: the choice before stays, with the word why.
  bool Choose(const std::string& path);
  // The game's own music for now, or the player's again.
  void SetOwnMusic(bool own);
  // Esc while listening: the next games play to the game's own music until the player
  // switches back, and the song is listened to again then.
  void GiveUpListening();

  ChosenSongsView View() const;
  // Whether the next game's song is still to be found: the menu holds the start meanwhile.
  bool ListeningForNextGame() const;
  std::string Path() const;
  bool OwnMusic() const;
  // Whether the worker is listening to a song now (for the next game or ahead).
  bool Busy() const;
  // Songs analysed (not found in the cache) since the start.
  int Analyses() const { return analyses_.load(); }

  std::optional<PreparedSong> TakeSongForGame() override;
  std::optional<PreparedSong> TakeSongAfter(const PreparedSong& current) override;
  void CannotPlay(const std::string& path, const std::string& why) override;

 private:
  void Work();
  // Whether the worker has a song to listen to (under the lock).
  bool NeedsListening() const;
  std::optional<PreparedSong> TakeReady();
  // Moves on to the next song not passed over, shuffling again after the last.
  void Advance();
  void Reshuffle(const std::string& last);
  void Trouble(const std::string& path, const std::string& why);
  void StopListening();

  BeatCache cache_;
  SongListLimits limits_;
  std::mt19937_64 shuffle_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::string path_;
  std::vector<std::string> order_;
  size_t nextIndex_ = 0;
  std::set<std::string> passedOver_;
  std::optional<PreparedSong> ready_;
  bool ownMusic_ = false;
  bool listening_ = false;
  // Bumped by each new choice: what the worker finds for an older one is dropped.
  uint64_t generation_ = 0;
  std::string troubleName_;
  std::string troubleWhy_;
  uint64_t troubleSerial_ = 0;
  bool stopping_ = false;

  std::atomic<double> progress_{0.0};
  std::atomic<bool> cancel_{false};
  std::atomic<int> analyses_{0};
  std::thread worker_;
};

}  // namespace fenwhit
