#pragma once
// A thin owner of one libvorbisfile decoder reading from a ByteSource.
#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <memory>

#include "audio/byte_source.h"

namespace fenwhit {

class VorbisDecoder {
 public:
  // nullptr unless the data is a complete Ogg Vorbis file with a sane rate and length.
  static std::unique_ptr<VorbisDecoder> Open(std::unique_ptr<ByteSource> source);
  ~VorbisDecoder();
  VorbisDecoder(const VorbisDecoder&) = delete;
  VorbisDecoder& operator=(const VorbisDecoder&) = delete;

  int Rate() const { return rate_; }
  // Frames in the whole file, as the file declares them.
  int64_t TotalFrames() const { return totalFrames_; }

  // Decodes up to maxFrames frames. channels[c][i] is channel c of frame i; channelCount
  // says how many the current section has. Returns the frame count, 0 at the end of the
  // file, or a negative value on a damaged stretch (which may be skipped by reading on).
  long Read(float*** channels, int& channelCount, int maxFrames);
  // Back to the first frame, sample-exactly.
  bool Rewind();

 private:
  VorbisDecoder() = default;
  std::unique_ptr<ByteSource> source_;
  OggVorbis_File file_{};
  int rate_ = 0;
  int64_t totalFrames_ = 0;
};

}  // namespace fenwhit
