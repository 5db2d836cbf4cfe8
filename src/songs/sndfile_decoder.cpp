#include "songs/sndfile_decoder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace fenwhit {

namespace {

constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 384000;
// Beyond this a file is surely damaged; it would cost a plane buffer per channel.
constexpr int kMostChannels = 64;
constexpr int kMostFramesPerRead = 1 << 16;

ByteSource& From(void* source) {
  return *static_cast<ByteSource*>(source);
}

sf_count_t Length(void* source) {
  return From(source).Size();
}

sf_count_t Seek(sf_count_t offset, int whence, void* source) {
  return From(source).Seek(offset, whence) ? From(source).Tell() : -1;
}

sf_count_t ReadBytes(void* out, sf_count_t count, void* source) {
  if (count <= 0) return 0;
  return static_cast<sf_count_t>(From(source).Read(out, static_cast<size_t>(count)));
}

sf_count_t WriteBytes(const void*, sf_count_t, void*) {
  return 0;  // songs are only ever read
}

sf_count_t Tell(void* source) {
  return From(source).Tell();
}

// Whether the data starts as the sound files libsndfile reads do. libsndfile keeps its own
// reason for refusing a file in one variable for the whole process, which another thread
// opening a song at the same moment may overwrite; the file's first bytes stay put.
bool LooksLikeASoundFile(ByteSource& source) {
  uint8_t head[4] = {};
  const size_t got = source.Seek(0, SEEK_SET) ? source.Read(head, sizeof head) : 0;
  source.Seek(0, SEEK_SET);
  auto starts = [&](const char* magic) {
    const size_t length = std::strlen(magic);
    return got >= length && std::memcmp(head, magic, length) == 0;
  };
  const bool mpegFrame = got >= 2 && head[0] == 0xFF && (head[1] & 0xE0) == 0xE0;
  return starts("RIFF") || starts("RIFX") || starts("RF64") || starts("fLaC") || starts("OggS") ||
         starts("ID3") || starts("FORM") || starts(".snd") || starts("caff") || mpegFrame;
}

}  // namespace

std::unique_ptr<SndfileDecoder> SndfileDecoder::Open(std::unique_ptr<ByteSource> source,
                                                     std::string& error) {
  if (!source) {
    error = "cannot open the file";
    return nullptr;
  }
  std::unique_ptr<SndfileDecoder> decoder(new SndfileDecoder());
  decoder->source_ = std::move(source);
  SF_VIRTUAL_IO io{Length, Seek, ReadBytes, WriteBytes, Tell};
  SF_INFO info{};
  decoder->file_ = sf_open_virtual(&io, SFM_READ, &info, decoder->source_.get());
  if (decoder->file_ == nullptr) {
    error = LooksLikeASoundFile(*decoder->source_) ? "damaged or unsupported"
                                                   : "not a song in a known format";
    return nullptr;
  }
  std::string why;
  if (info.channels < 1 || info.channels > kMostChannels) {
    why = "unsupported format: " + std::to_string(info.channels) + " channels";
  } else if (info.samplerate < kLowestRate || info.samplerate > kHighestRate) {
    why = "unsupported format: a rate of " + std::to_string(info.samplerate) + " Hz";
  } else if (info.frames <= 0) {
    why = "no sound in it";
  } else if (info.seekable == 0) {
    why = "cannot be played from its start again";
  }
  if (!why.empty()) {
    error = why;
    return nullptr;
  }
  decoder->rate_ = info.samplerate;
  decoder->channelCount_ = info.channels;
  decoder->totalFrames_ = info.frames;
  decoder->planes_.resize(static_cast<size_t>(info.channels));
  decoder->planePointers_.resize(static_cast<size_t>(info.channels));
  return decoder;
}

SndfileDecoder::~SndfileDecoder() {
  if (file_ != nullptr) sf_close(file_);
}

long SndfileDecoder::Read(float*** channels, int& channelCount, int maxFrames) {
  const int frames = std::clamp(maxFrames, 0, kMostFramesPerRead);
  interleaved_.resize(static_cast<size_t>(frames) * static_cast<size_t>(channelCount_));
  const sf_count_t got = sf_readf_float(file_, interleaved_.data(), frames);
  if (got <= 0) return sf_error(file_) != SF_ERR_NO_ERROR ? -1 : 0;
  for (int c = 0; c < channelCount_; ++c) {
    std::vector<float>& plane = planes_[static_cast<size_t>(c)];
    plane.resize(static_cast<size_t>(got));
    for (sf_count_t i = 0; i < got; ++i) plane[i] = interleaved_[i * channelCount_ + c];
    planePointers_[static_cast<size_t>(c)] = plane.data();
  }
  *channels = planePointers_.data();
  channelCount = channelCount_;
  return static_cast<long>(got);
}

bool SndfileDecoder::Rewind() {
  return sf_seek(file_, 0, SEEK_SET) == 0;
}

}  // namespace fenwhit
