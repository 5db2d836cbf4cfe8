#include "songs/song_beat_grid.h"

#include <algorithm>
#include <cmath>

namespace fenwhit {

namespace {
// Quicker beats than this are not music; a grid this fine would only cost time.
constexpr double kShortestInterval = 0.05;
constexpr double kLongestSong = 24.0 * 3600.0;
}  // namespace

SongBeatGrid::Song SongBeatGrid::Prepare(BeatTimes beats, double seconds) {
  Song song;
  // A song too short to hold a beat is taken as one that never ends.
  song.seconds = std::isfinite(seconds) && seconds >= kShortestInterval
                     ? std::min(seconds, kLongestSong)
                     : 0.0;
  // Only rising beats within the song can be heard in it.
  std::vector<double> kept;
  for (const double beat : beats.beats) {
    if (std::isfinite(beat) && beat >= 0.0 && (song.seconds == 0.0 || beat < song.seconds) &&
        (kept.empty() || beat > kept.back())) {
      kept.push_back(beat);
    }
  }
  beats.beats = std::move(kept);
  if (std::isfinite(beats.tempo) && beats.tempo > 0.0) {
    song.interval = 60.0 / beats.tempo;
  } else if (beats.beats.size() > 1) {
    song.interval =
        (beats.beats.back() - beats.beats.front()) / static_cast<double>(beats.beats.size() - 1);
  }
  song.interval = song.interval > 0.0 ? std::max(song.interval, kShortestInterval) : 0.0;
  song.beats = std::move(beats);
  return song;
}

SongBeatGrid::SongBeatGrid(BeatTimes song, double songSeconds)
    : current_(Prepare(std::move(song), songSeconds)) {
  for (const double beat : current_.beats.beats) upcoming_.push_back(beat);
  if (!upcoming_.empty()) {
    lastBeat_ = upcoming_.back();
    anyBeat_ = true;
  }
}

void SongBeatGrid::FollowWith(BeatTimes next, double nextSeconds) {
  next_ = Prepare(std::move(next), nextSeconds);
}

void SongBeatGrid::StartNextSong() {
  const double interval = current_.interval;
  songStart_ += current_.seconds;
  if (next_) {
    current_ = std::move(*next_);
    next_.reset();
  }
  // A song with no pace of its own keeps the one before it.
  if (current_.interval == 0.0) current_.interval = interval;
  auto beat = current_.beats.beats.begin();
  const auto end = current_.beats.beats.end();
  if (anyBeat_ && interval > 0.0) {
    while (beat != end && songStart_ + *beat < lastBeat_ + interval / 2) ++beat;
    // Fill up to the first beat of the new song, or its end when it has none.
    const double firstBeat = beat != end ? songStart_ + *beat : songStart_ + current_.seconds;
    for (double fill = lastBeat_ + interval; fill < firstBeat - interval / 2; fill += interval) {
      upcoming_.push_back(fill);
    }
  }
  for (; beat != end; ++beat) upcoming_.push_back(songStart_ + *beat);
  if (!upcoming_.empty()) {
    lastBeat_ = upcoming_.back();
    anyBeat_ = true;
  }
}

int32_t SongBeatGrid::Advance(double position) {
  if (!std::isfinite(position)) return 0;
  int32_t passed = 0;
  for (;;) {
    while (!upcoming_.empty() && upcoming_.front() <= position) {
      upcoming_.pop_front();
      ++passed;
    }
    // Once the song playing has no beats left, the next one is laid out, so that a
    // silence at its end is filled in time. A song without length never ends.
    if (!upcoming_.empty() || current_.seconds <= 0.0 || position < songStart_) return passed;
    StartNextSong();
  }
}

}  // namespace fenwhit
