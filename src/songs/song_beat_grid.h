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
//
// Each beat is worked out only when the one before it has counted, so a song's true length,
// learnt while it plays, still moves the join.
#include <cstdint>
#include <optional>

#include "songs/beat_times.h"

namespace fenwhit {

class SongBeatGrid {
 public:
  SongBeatGrid(BeatTimes song, double songSeconds);

  // The song that plays once the current one ends; without one the current one repeats.
  void FollowWith(BeatTimes next, double nextSeconds);
  // From now on a song's declared length is only a guess: a song ends where EndSongAt
  // says, and plays on until it does.
  void WaitForTrueLengths() { waitForLengths_ = true; }
  // The current song turned out to last `seconds`.
  void EndSongAt(double seconds);
  // The songs started before the current one.
  int64_t SongIndex() const { return songIndex_; }
  // Where the current song started, and its length as known now (0: it never ends).
  double SongStart() const { return songStart_; }
  double SongSeconds() const { return current_.seconds; }
  // The beats whose time lies after the previous position and at or before this one. A
  // position that goes back counts nothing.
  int32_t Advance(double position);
  // The time of the last beat counted.
  double LastBeat() const { return lastBeat_; }

 private:
  struct Song {
    BeatTimes beats;
    double seconds = 0.0;
    double interval = 0.0;  // one beat, at the song's tempo
  };
  static Song Prepare(BeatTimes beats, double seconds);
  // Where the current song ends, as far as it is known at `position`.
  double EndGuess(double position) const;
  // The next beat to count within the current song (or a fill past its end), if any.
  std::optional<double> NextBeat(double end) const;
  void StartNextSong();

  Song current_;
  std::optional<Song> next_;
  double songStart_ = 0.0;  // where the current song starts, in game time
  size_t nextIndex_ = 0;    // the current song's next beat
  double lastBeat_ = 0.0;   // the last beat counted, in game time
  bool anyBeat_ = false;
  bool beatOfThisSong_ = false;  // the current song's own beats have begun
  double fillInterval_ = 0.0;    // the pace a silence at a join is filled at
  int64_t songIndex_ = 0;
  bool waitForLengths_ = false;
  bool lengthKnown_ = false;
};

}  // namespace fenwhit
