#pragma once
// Counts a song's beats as its play position passes them. Positions are seconds played
// since the first song began, across every song after it, so a poll that comes late
// counts every beat it slept through.
//
// When a song ends, the next one (by default the same again) starts at once and its beats
// follow on from the last beat of the one before: a first beat closer than half a beat to
// that last beat is the same beat heard twice and is dropped, and a silence of more than
// a beat and a half between them is filled at the old song's pace, so the game's beat has
// neither a double nor a gap at the join.
#include <cstdint>
#include <deque>
#include <optional>

#include "songs/beat_times.h"

namespace fenwhit {

class SongBeatGrid {
 public:
  SongBeatGrid(BeatTimes song, double songSeconds);

  // The song that plays once the current one ends; without one the current one repeats.
  // The join is laid out when the current song's last beat has passed, so this must come
  // before that.
  void FollowWith(BeatTimes next, double nextSeconds);
  // The beats whose time lies after the previous position and at or before this one. A
  // position that goes back counts nothing.
  int32_t Advance(double position);

 private:
  struct Song {
    BeatTimes beats;
    double seconds = 0.0;
    double interval = 0.0;  // one beat, at the song's tempo
  };
  static Song Prepare(BeatTimes beats, double seconds);
  // Queues the next song's beats after the current one's end.
  void StartNextSong();

  Song current_;
  std::optional<Song> next_;
  double songStart_ = 0.0;       // where the current song starts, in game time
  std::deque<double> upcoming_;  // the current song's beats still to come, in game time
  double lastBeat_ = 0.0;        // the last beat queued, in game time
  bool anyBeat_ = false;
};

}  // namespace fenwhit
