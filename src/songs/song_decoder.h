#pragma once
// A song file read as mono float frames at its own rate, a chunk at a time, through the
// decoder that plays it (songs/song_stream.h). Whatever the file claims, the channels, rate
// and length read are bounded.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/byte_source.h"
#include "audio/stream_decoder.h"

namespace fenwhit {

// What a song may be, whatever its file claims.
struct SongLimits {
  int maxChannels = 8;
  int minRate = 8000;
  int maxRate = 384000;
  double maxSeconds = 30 * 60;  // anything longer is read only this far
};

class SongDecoder {
 public:
  // Null with why saying what is wrong: not found, empty, not a song, unsupported, damaged.
  static std::unique_ptr<SongDecoder> Open(const std::string& path, std::string& why,
                                           const SongLimits& limits = {});
  // The same over bytes in memory (kept alive by the decoder).
  static std::unique_ptr<SongDecoder> OpenBytes(std::vector<uint8_t> bytes, std::string& why,
                                                const SongLimits& limits = {});
  SongDecoder(const SongDecoder&) = delete;
  SongDecoder& operator=(const SongDecoder&) = delete;

  int Rate() const { return rate_; }
  // The frames that will be read at most: the file's own count under the length cap.
  int64_t Frames() const { return frames_; }
  // Fills up to count mono frames; fewer only at the end (or where the file is damaged).
  size_t Read(float* mono, size_t count);

 private:
  SongDecoder() = default;
  static std::unique_ptr<SongDecoder> From(std::unique_ptr<ByteSource> source, std::string& why,
                                           const SongLimits& limits);
  // Decodes the next stretch into pending_; false at the end of what may be read.
  bool DecodeBlock();

  std::unique_ptr<StreamDecoder> decoder_;
  int maxChannels_ = 1;
  int rate_ = 0;
  int64_t frames_ = 0;
  int64_t read_ = 0;
  int damagedStretches_ = 0;  // skipped since the last good stretch
  int refusedChannels_ = 0;   // the channel count of a stretch beyond maxChannels_
  std::vector<float> pending_;
  size_t pendingRead_ = 0;
};

}  // namespace fenwhit
