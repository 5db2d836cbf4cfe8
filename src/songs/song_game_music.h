#pragma once
// The game's music when the player has chosen songs: each game starts with the song the
// supply gives it and plays on from song to song; with none, or none that opens, the game
// plays its own music.
#include "audio/music.h"
#include "audio/sound_device.h"
#include "songs/song_supply.h"

namespace fenwhit {

class SongGameMusic : public GameMusicChoice {
 public:
  // Songs that fail to open in a row before a game gives up and plays its own music.
  static constexpr int kMostSongsTried = 4;

  SongGameMusic(SongSupply& supply, SoundDevice& device) : supply_(supply), device_(device) {}
  bool StartGameMusic() override;

 private:
  SongSupply& supply_;
  SoundDevice& device_;
};

}  // namespace fenwhit
