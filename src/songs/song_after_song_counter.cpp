#include "songs/song_after_song_counter.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "songs/song_stream.h"

namespace fenwhit {

namespace {
// A song lasts at least to its last beat, whatever its file declares: until the stream
// finds its true end, its beats count from the analysis of all of it.
double LengthGuess(double declared, const BeatTimes& beats) {
  return beats.beats.empty() ? declared : std::max(declared, beats.beats.back() + 0.001);
}
}  // namespace

SongAfterSongCounter::SongAfterSongCounter(SoundDevice& device, SoundHandle stream,
                                           SongSupply& supply, std::shared_ptr<SongJoins> joins,
                                           PreparedSong first, double firstSeconds)
    : device_(device),
      stream_(stream),
      supply_(supply),
      joins_(std::move(joins)),
      grid_(first.beats, LengthGuess(firstSeconds, first.beats)) {
  grid_.WaitForTrueLengths();
  songs_.emplace(0, std::move(first));
}

const PreparedSong& SongAfterSongCounter::SongAt(int64_t index) const {
  const auto after = songs_.upper_bound(index);
  return after == songs_.begin() ? after->second : std::prev(after)->second;
}

void SongAfterSongCounter::TakeNews() {
  for (SongJoins::News& news : joins_->TakeNews()) {
    if (news.broken.empty()) {
      lengths_[news.song] = news.seconds;
      continue;
    }
    // Said once a song, however often it plays again.
    const std::string& path = SongAt(news.song).path;
    if (toldCannotPlay_.insert(path).second) supply_.CannotPlay(path, news.broken);
  }
}

void SongAfterSongCounter::PrepareNext(double position) {
  const int64_t index = grid_.SongIndex();
  if (preparedFor_ == index) return;
  const double seconds = grid_.SongSeconds();
  if (seconds > 0.0 && grid_.SongStart() + seconds - position > kPrepareSeconds) return;
  preparedFor_ = index;
  std::optional<PreparedSong> next = supply_.TakeSongAfter(SongAt(index));
  if (!next) return;
  std::string why;
  std::unique_ptr<StreamDecoder> decoder = OpenSongFile(next->path, why);
  if (!decoder) {
    // Known now, while the current song still plays: it plays again instead.
    if (toldCannotPlay_.insert(next->path).second) supply_.CannotPlay(next->path, why);
    return;
  }
  const double nextSeconds = LengthGuess(DeclaredSeconds(*decoder), next->beats);
  if (!joins_->Offer(index, std::move(decoder))) return;
  grid_.FollowWith(next->beats, nextSeconds);
  songs_.erase(songs_.begin(), std::prev(songs_.upper_bound(index)));
  songs_.emplace(index + 1, std::move(*next));
}

CountedBeats SongAfterSongCounter::CountAhead(double aheadSeconds) {
  TakeNews();
  const double position = device_.StreamSecondsPlayed(stream_);
  if (position < 0.0) return {};
  int32_t passed = 0;
  // A song shorter than the stream decodes ahead may have ended before the grid reaches it.
  for (int64_t index = -1; index != grid_.SongIndex();) {
    index = grid_.SongIndex();
    const auto length = lengths_.find(index);
    if (length != lengths_.end()) grid_.EndSongAt(length->second);
    lengths_.erase(lengths_.begin(), lengths_.upper_bound(index));
    passed += grid_.Advance(position + aheadSeconds);
  }
  PrepareNext(position);
  return {passed, passed > 0 ? grid_.LastBeat() - position : 0.0};
}

}  // namespace fenwhit
