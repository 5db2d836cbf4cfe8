#pragma once
// The decoder behind a game's song stream: one song after another on the same stream.
// When a song ends, the stream goes on with the song offered for after it, else the same
// song again. A song that cannot be decoded further plays silence to its declared end, so
// the stream's play position, which the beats follow, never stops.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/stream_decoder.h"

namespace fenwhit {

// What the stream's decoder (on the feeding thread) and the beat thread tell each other.
// Songs are numbered in the order they start on the stream, repeats included, from 0.
class SongJoins {
 public:
  struct News {
    int64_t song = 0;
    double seconds = 0.0;  // an ended song: how long it played, counted in decoded frames
    std::string broken;    // not empty: the song could not be decoded on, and why
  };

  // The decoder that goes on once song `song` ends. False (and the decoder dropped) when
  // that song is no longer the one decoding.
  bool Offer(int64_t song, std::unique_ptr<StreamDecoder> next);
  // What happened since the last call, in order.
  std::vector<News> TakeNews();

  // The decoder's side: song `seconds` long has ended; the decoder to go on with, or
  // nullptr for the same song again.
  std::unique_ptr<StreamDecoder> SongEnded(double seconds);
  void SongBroken(const std::string& why);

 private:
  std::mutex mutex_;
  int64_t playing_ = 0;
  std::unique_ptr<StreamDecoder> offered_;
  std::vector<News> news_;
};

class SongSequenceDecoder : public StreamDecoder {
 public:
  SongSequenceDecoder(std::unique_ptr<StreamDecoder> first, std::shared_ptr<SongJoins> joins);

  // The rate of the song the last Read came from: it changes where a new song starts.
  int Rate() const override { return rate_; }
  int64_t TotalFrames() const override { return song_->TotalFrames(); }
  // Never 0 or negative: damage is skipped or played as silence.
  long Read(float*** channels, int& channelCount, int maxFrames) override;
  bool Rewind() override { return true; }

 private:
  void StartSong(std::unique_ptr<StreamDecoder> song);
  void Break(const std::string& why);
  void EndSong();
  long Silence(float*** channels, int& channelCount, int maxFrames);

  std::unique_ptr<StreamDecoder> song_;
  std::shared_ptr<SongJoins> joins_;
  int rate_ = 0;
  int64_t played_ = 0;        // frames of the current song handed out
  int64_t silenceLeft_ = -1;  // frames of silence to its end once broken; -1 while whole
  int damagedInARow_ = 0;
  std::vector<float> silence_;
  float* silencePlane_ = nullptr;
};

}  // namespace fenwhit
