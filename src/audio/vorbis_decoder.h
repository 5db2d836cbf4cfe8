#pragma once
// A thin owner of one libvorbisfile decoder reading from a ByteSource.
#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <memory>

#include "audio/byte_source.h"
#include "audio/stream_decoder.h"

namespace fenwhit {

class VorbisDecoder : public StreamDecoder {
 public:
  // nullptr unless the data is a complete Ogg Vorbis file with a sane rate and length.
  static std::unique_ptr<VorbisDecoder> Open(std::unique_ptr<ByteSource> source);
  ~VorbisDecoder() override;
  VorbisDecoder(const VorbisDecoder&) = delete;
  VorbisDecoder& operator=(const VorbisDecoder&) = delete;

  int Rate() const override { return rate_; }
  int64_t TotalFrames() const override { return totalFrames_; }
  // channelCount is that of the current section.
  long Read(float*** channels, int& channelCount, int maxFrames) override;
  bool Rewind() override;

 private:
  VorbisDecoder() = default;
  std::unique_ptr<ByteSource> source_;
  OggVorbis_File file_{};
  int rate_ = 0;
  int64_t totalFrames_ = 0;
};

}  // namespace fenwhit
