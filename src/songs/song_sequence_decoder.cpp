#include "songs/song_sequence_decoder.h"

#include <algorithm>
#include <utility>

namespace fenwhit {

namespace {
// As many damaged stretches in a row as a stream skips before it gives up.
constexpr int kMostDamagedInARow = 32;
constexpr int kFallbackRate = 44100;
// A broken song that declares no sane length still lasts this long.
constexpr int64_t kShortestBrokenSeconds = 1;
}  // namespace

bool SongJoins::Offer(int64_t song, std::unique_ptr<StreamDecoder> next) {
  std::lock_guard lock(mutex_);
  if (song != playing_ || !next) return false;
  offered_ = std::move(next);
  return true;
}

std::vector<SongJoins::News> SongJoins::TakeNews() {
  std::lock_guard lock(mutex_);
  return std::exchange(news_, {});
}

std::unique_ptr<StreamDecoder> SongJoins::SongEnded(double seconds) {
  std::lock_guard lock(mutex_);
  news_.push_back({playing_, seconds, {}});
  ++playing_;
  return std::move(offered_);
}

void SongJoins::SongBroken(const std::string& why) {
  std::lock_guard lock(mutex_);
  news_.push_back({playing_, 0.0, why});
}

SongSequenceDecoder::SongSequenceDecoder(std::unique_ptr<StreamDecoder> first,
                                         std::shared_ptr<SongJoins> joins)
    : joins_(std::move(joins)) {
  StartSong(std::move(first));
}

void SongSequenceDecoder::StartSong(std::unique_ptr<StreamDecoder> song) {
  song_ = std::move(song);
  const int rate = song_->Rate();
  rate_ = rate > 0 ? rate : kFallbackRate;
  played_ = 0;
  silenceLeft_ = -1;
  damagedInARow_ = 0;
}

void SongSequenceDecoder::Break(const std::string& why) {
  joins_->SongBroken(why);
  const int64_t declared = song_->TotalFrames();
  const int64_t shortest = kShortestBrokenSeconds * rate_;
  silenceLeft_ = played_ < shortest ? std::max(declared, shortest) - played_
                                    : std::max<int64_t>(declared - played_, 0);
}

void SongSequenceDecoder::EndSong() {
  std::unique_ptr<StreamDecoder> next =
      joins_->SongEnded(static_cast<double>(played_) / static_cast<double>(rate_));
  if (next) {
    StartSong(std::move(next));
    return;
  }
  played_ = 0;
  silenceLeft_ = -1;
  damagedInARow_ = 0;
  if (!song_->Rewind()) Break("cannot go back to its start");
}

long SongSequenceDecoder::Silence(float*** channels, int& channelCount, int maxFrames) {
  const long frames = static_cast<long>(std::min<int64_t>(maxFrames, silenceLeft_));
  silence_.assign(static_cast<size_t>(frames), 0.0f);
  silencePlane_ = silence_.data();
  *channels = &silencePlane_;
  channelCount = 1;
  silenceLeft_ -= frames;
  played_ += frames;
  return frames;
}

long SongSequenceDecoder::Read(float*** channels, int& channelCount, int maxFrames) {
  if (maxFrames <= 0) return 0;
  // Each pass ends a song, breaks one or skips a damaged stretch; a song always yields
  // frames (silence at worst) once started, so this ends.
  for (;;) {
    if (silenceLeft_ > 0) return Silence(channels, channelCount, maxFrames);
    if (silenceLeft_ == 0) {
      EndSong();
      continue;
    }
    long got = song_->Read(channels, channelCount, maxFrames);
    if (got > 0 && channelCount < 1) got = -1;
    if (got > 0) {
      damagedInARow_ = 0;
      played_ += got;
      return got;
    }
    if (got < 0) {
      if (++damagedInARow_ > kMostDamagedInARow) Break("damaged past repair");
      continue;
    }
    if (played_ == 0) {
      Break("nothing left to play");
      continue;
    }
    EndSong();
  }
}

}  // namespace fenwhit
