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

  int32_t Count() override { return CountAhead(0.0).beats; }

  CountedBeats CountAhead(double aheadSeconds) override {
    const double played = device_.StreamSecondsPlayed(stream_);
    if (played < 0.0) return {};
    const int32_t beats = grid_.Advance(played + aheadSeconds);
    return {beats, beats > 0 ? grid_.LastBeat() - played : 0.0};
  }

 private:
  SoundDevice& device_;
  SoundHandle stream_;
  SongBeatGrid grid_;
};

}  // namespace fenwhit
