#pragma once
// A player's song (Ogg Vorbis, Opus, FLAC, MP3, WAV) decoded by libsndfile, read from a
// ByteSource as it plays: never loaded whole.
#include <sndfile.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/byte_source.h"
#include "audio/stream_decoder.h"

namespace fenwhit {

class SndfileDecoder : public StreamDecoder {
 public:
  // nullptr with `error` (a short reason) unless the data is a song libsndfile reads, with
  // a sane rate, channel count and length.
  static std::unique_ptr<SndfileDecoder> Open(std::unique_ptr<ByteSource> source,
                                              std::string& error);
  ~SndfileDecoder() override;
  SndfileDecoder(const SndfileDecoder&) = delete;
  SndfileDecoder& operator=(const SndfileDecoder&) = delete;

  int Rate() const override { return rate_; }
  int64_t TotalFrames() const override { return totalFrames_; }
  long Read(float*** channels, int& channelCount, int maxFrames) override;
  bool Rewind() override;

 private:
  SndfileDecoder() = default;

  std::unique_ptr<ByteSource> source_;
  SNDFILE* file_ = nullptr;
  int rate_ = 0;
  int channelCount_ = 0;
  int64_t totalFrames_ = 0;
  std::vector<float> interleaved_;
  std::vector<std::vector<float>> planes_;
  std::vector<float*> planePointers_;
};

}  // namespace fenwhit
