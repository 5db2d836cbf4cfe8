#pragma once
// The beat thread's counter for a game that plays the player's songs one after another on
// one stream: it counts the beats as the stream plays them, takes the next song from the
// supply and opens it well before the current one ends, and tells the supply of songs that
// could not be played.
#include <map>
#include <memory>
#include <set>
#include <string>

#include "audio/music.h"
#include "audio/sound_device.h"
#include "songs/song_beat_grid.h"
#include "songs/song_sequence_decoder.h"
#include "songs/song_supply.h"

namespace fenwhit {

class SongAfterSongCounter : public BeatCounter {
 public:
  // How long before a song's end the next one is taken and opened.
  static constexpr double kPrepareSeconds = 8.0;

  SongAfterSongCounter(SoundDevice& device, SoundHandle stream, SongSupply& supply,
                       std::shared_ptr<SongJoins> joins, PreparedSong first, double firstSeconds);

  int32_t Count() override { return CountAhead(0.0).beats; }
  CountedBeats CountAhead(double aheadSeconds) override;

 private:
  void TakeNews();
  void PrepareNext(double position);
  const PreparedSong& SongAt(int64_t index) const;

  SoundDevice& device_;
  SoundHandle stream_;
  SongSupply& supply_;
  std::shared_ptr<SongJoins> joins_;
  SongBeatGrid grid_;
  std::map<int64_t, PreparedSong> songs_;  // by the index each starts at; repeats not kept
  std::map<int64_t, double> lengths_;      // true lengths the grid has yet to reach
  int64_t preparedFor_ = -1;               // the song whose follower was sought
  std::set<std::string> toldCannotPlay_;
};

}  // namespace fenwhit
