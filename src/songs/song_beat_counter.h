#pragma once
// The beat thread's counter for a song of the player's: its beat grid, moved on by how
// far the song's stream has played on the sound device.
#include "audio/music.h"
#include "audio/sound_device.h"
#include "songs/song_beat_grid.h"

namespace fenwhit {

class SongBeatCounter : public BeatCounter {
 public:
  SongBeatCounter(SoundDevice& device, SoundHandle stream, SongBeatGrid grid)
      : device_(device), stream_(stream), grid_(std::move(grid)) {}

  int32_t Count() override {
    const double played = device_.StreamSecondsPlayed(stream_);
    return played < 0.0 ? 0 : grid_.Advance(played);
  }

 private:
  SoundDevice& device_;
  SoundHandle stream_;
  SongBeatGrid grid_;
};

}  // namespace fenwhit
