#include "songs/song_beat_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace fenwhit {

namespace {
// Quicker beats than this are not music; a grid this fine would only cost time.
constexpr double kShortestInterval = 0.05;
constexpr double kLongestSong = 24.0 * 3600.0;
constexpr double kNever = std::numeric_limits<double>::infinity();

double SaneLength(double seconds) {
  // A song too short to hold a beat is taken as one that never ends.
  return std::isfinite(seconds) && seconds >= kShortestInterval ? std::min(seconds, kLongestSong)
                                                                : 0.0;
}
}  // namespace

SongBeatGrid::Song SongBeatGrid::Prepare(BeatTimes beats, double seconds) {
  Song song;
  song.seconds = SaneLength(seconds);
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
    : current_(Prepare(std::move(song), songSeconds)), fillInterval_(current_.interval) {}

void SongBeatGrid::FollowWith(BeatTimes next, double nextSeconds) {
  next_ = Prepare(std::move(next), nextSeconds);
}

void SongBeatGrid::EndSongAt(double seconds) {
  lengthKnown_ = true;
  const double length = SaneLength(seconds);
  if (length == 0.0) return;
  current_.seconds = length;
  std::vector<double>& beats = current_.beats.beats;
  beats.erase(std::lower_bound(beats.begin(), beats.end(), length), beats.end());
  nextIndex_ = std::min(nextIndex_, beats.size());
}

double SongBeatGrid::EndGuess(double position) const {
  if (current_.seconds <= 0.0) return kNever;
  const double end = songStart_ + current_.seconds;
  // Still playing past its declared end: it goes on at least a beat more, and its silence
  // is filled as if it did.
  if (waitForLengths_ && !lengthKnown_) {
    return std::max(end, position + std::max(fillInterval_, kShortestInterval));
  }
  return end;
}

std::optional<double> SongBeatGrid::NextBeat(double end) const {
  const std::vector<double>& beats = current_.beats.beats;
  std::optional<double> songBeat;
  if (nextIndex_ < beats.size()) songBeat = songStart_ + beats[nextIndex_];
  const bool filling = nextIndex_ >= beats.size() || !beatOfThisSong_;
  if (!filling || !anyBeat_ || fillInterval_ <= 0.0 || end == kNever) return songBeat;
  const double fill = lastBeat_ + fillInterval_;
  // A silence is filled up to the next beat heard: this song's, or the following one's
  // first (or its end, when it has none).
  double heard = songBeat.value_or(kNever);
  if (!songBeat) {
    const Song& following = next_ ? *next_ : current_;
    const auto& after = following.beats.beats;
    const auto first = std::find_if(after.begin(), after.end(), [&](double beat) {
      return end + beat >= lastBeat_ + fillInterval_ / 2;
    });
    heard = first != after.end()      ? end + *first
            : following.seconds > 0.0 ? end + following.seconds
                                      : kNever;
  }
  if (fill < heard - fillInterval_ / 2) return fill;
  return songBeat;
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
  ++songIndex_;
  lengthKnown_ = false;
  beatOfThisSong_ = false;
  fillInterval_ = interval;
  nextIndex_ = 0;
  const std::vector<double>& beats = current_.beats.beats;
  if (anyBeat_ && interval > 0.0) {
    while (nextIndex_ < beats.size() && songStart_ + beats[nextIndex_] < lastBeat_ + interval / 2) {
      ++nextIndex_;
    }
  }
}

int32_t SongBeatGrid::Advance(double position) {
  if (!std::isfinite(position)) return 0;
  int32_t passed = 0;
  for (;;) {
    const double end = EndGuess(position);
    const std::optional<double> beat = NextBeat(end);
    if (beat && *beat <= position) {
      const bool songBeat = nextIndex_ < current_.beats.beats.size() &&
                            *beat == songStart_ + current_.beats.beats[nextIndex_];
      if (songBeat) {
        ++nextIndex_;
        beatOfThisSong_ = true;
        fillInterval_ = current_.interval;
      }
      lastBeat_ = *beat;
      anyBeat_ = true;
      ++passed;
      continue;
    }
    // The song has ended: the next one starts where it ended.
    if (end == kNever || position < end) return passed;
    StartNextSong();
  }
}

}  // namespace fenwhit
