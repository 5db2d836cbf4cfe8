#pragma once
// A sound file (Ogg Vorbis unless another decoder is given) decoded a block at a time into 16-bit
// stereo at the mixing rate, starting again at its first frame whenever it ends, with no gap: a
// file of N frames repeats every N frames (at the file's own rate).
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/byte_source.h"
#include "audio/linear_resampler.h"
#include "audio/stream_decoder.h"

namespace fenwhit {

class StreamSource {
 public:
  static std::unique_ptr<StreamSource> Open(std::unique_ptr<ByteSource> source, int mixRate);
  // nullptr for a null decoder.
  static std::unique_ptr<StreamSource> Open(std::unique_ptr<StreamDecoder> decoder, int mixRate);

  int SourceRate() const { return decoder_->Rate(); }
  // Length of one loop in frames at the file's own rate.
  int64_t LoopFrames() const { return decoder_->TotalFrames(); }
  // Writes up to frames interleaved stereo frames; returns how many. Fewer than asked
  // only when the file cannot be decoded any further (then it is Dead()).
  int Produce(int16_t* out, int frames);
  bool Dead() const { return dead_; }

 private:
  StreamSource(std::unique_ptr<StreamDecoder> decoder, int mixRate);
  // Decodes the next block into pending_; false once nothing more can be had.
  bool DecodeBlock();

  std::unique_ptr<StreamDecoder> decoder_;
  int mixRate_;
  int resamplerRate_;  // the decoder's rate when the resampler was made
  LinearResampler resampler_;
  std::vector<float> stereo_;
  std::vector<float> pending_;  // interleaved stereo at the mixing rate
  size_t pendingRead_ = 0;      // floats of pending_ already handed out
  bool dead_ = false;
};

}  // namespace fenwhit
