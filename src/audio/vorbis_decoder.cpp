#include "audio/vorbis_decoder.h"

#include <cstdio>

namespace fenwhit {

namespace {

constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 384000;

size_t ReadCallback(void* out, size_t size, size_t count, void* source) {
  if (size == 0) return 0;
  return static_cast<ByteSource*>(source)->Read(out, size * count) / size;
}

int SeekCallback(void* source, ogg_int64_t offset, int whence) {
  return static_cast<ByteSource*>(source)->Seek(offset, whence) ? 0 : -1;
}

long TellCallback(void* source) {
  return static_cast<long>(static_cast<ByteSource*>(source)->Tell());
}

}  // namespace

std::unique_ptr<VorbisDecoder> VorbisDecoder::Open(std::unique_ptr<ByteSource> source) {
  if (!source || !EndsWithFinalOggPage(*source)) return nullptr;
  std::unique_ptr<VorbisDecoder> decoder(new VorbisDecoder());
  decoder->source_ = std::move(source);
  const ov_callbacks callbacks{ReadCallback, SeekCallback, nullptr, TellCallback};
  if (ov_open_callbacks(decoder->source_.get(), &decoder->file_, nullptr, 0, callbacks) != 0) {
    // ov_open_callbacks clears the decoder itself when it fails.
    decoder->source_.reset();
    return nullptr;
  }
  const vorbis_info* info = ov_info(&decoder->file_, 0);
  const ogg_int64_t total = ov_pcm_total(&decoder->file_, -1);
  if (info == nullptr || info->rate < kLowestRate || info->rate > kHighestRate || total <= 0 ||
      ov_seekable(&decoder->file_) == 0) {
    return nullptr;
  }
  decoder->rate_ = static_cast<int>(info->rate);
  decoder->totalFrames_ = total;
  return decoder;
}

VorbisDecoder::~VorbisDecoder() {
  if (source_) ov_clear(&file_);
}

long VorbisDecoder::Read(float*** channels, int& channelCount, int maxFrames) {
  int section = 0;
  const long frames = ov_read_float(&file_, channels, maxFrames, &section);
  if (frames <= 0) return frames;
  const vorbis_info* info = ov_info(&file_, section);
  if (info == nullptr || info->channels < 1) return OV_EBADLINK;
  channelCount = info->channels;
  return frames;
}

bool VorbisDecoder::Rewind() {
  return ov_pcm_seek(&file_, 0) == 0;
}

}  // namespace fenwhit
