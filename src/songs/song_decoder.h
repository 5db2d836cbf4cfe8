#pragma once
// A song file read through libsndfile as mono float frames at its own rate, a chunk at a
// time. Whatever the file claims, the channels, rate and length read are bounded.
#include <sndfile.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
  ~SongDecoder();
  SongDecoder(const SongDecoder&) = delete;
  SongDecoder& operator=(const SongDecoder&) = delete;

  int Rate() const { return rate_; }
  // The frames that will be read at most: the file's own count under the length cap.
  int64_t Frames() const { return frames_; }
  // Fills up to count mono frames; fewer only at the end (or where the file is damaged).
  size_t Read(float* mono, size_t count);

 private:
  struct Memory {
    std::vector<uint8_t> bytes;
    sf_count_t position = 0;
  };
  SongDecoder() = default;
  static std::unique_ptr<SongDecoder> Finish(std::unique_ptr<SongDecoder> decoder, SF_INFO info,
                                             std::string& why, const SongLimits& limits);

  SNDFILE* file_ = nullptr;
  std::unique_ptr<Memory> memory_;
  int channels_ = 1;
  int rate_ = 0;
  int64_t frames_ = 0;
  int64_t read_ = 0;
  std::vector<float> interleaved_;
};

}  // namespace fenwhit
