#include "songs/song_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fenwhit {

namespace {

std::string ReasonFor(int error) {
  switch (error) {
    case SF_ERR_UNRECOGNISED_FORMAT:
      return "not a song in a known format";
    case SF_ERR_MALFORMED_FILE:
      return "damaged";
    case SF_ERR_UNSUPPORTED_ENCODING:
      return "unsupported format";
    default:
      return "cannot read it";
  }
}

sf_count_t MemoryLength(void* user) {
  return static_cast<sf_count_t>(static_cast<std::vector<uint8_t>*>(user)->size());
}

}  // namespace

std::unique_ptr<SongDecoder> SongDecoder::Open(const std::string& path, std::string& why,
                                               const SongLimits& limits) {
  namespace fs = std::filesystem;
  std::error_code error;
  const auto status = fs::status(path, error);
  if (!fs::exists(status)) {
    why = "not found";
    return nullptr;
  }
  if (!fs::is_regular_file(status)) {
    why = "not a file";
    return nullptr;
  }
  if (fs::file_size(path, error) == 0) {
    why = "empty";
    return nullptr;
  }
  std::unique_ptr<SongDecoder> decoder(new SongDecoder);
  SF_INFO info{};
  decoder->file_ = sf_open(path.c_str(), SFM_READ, &info);
  if (!decoder->file_) {
    why = ReasonFor(sf_error(nullptr));
    return nullptr;
  }
  return Finish(std::move(decoder), info, why, limits);
}

std::unique_ptr<SongDecoder> SongDecoder::OpenBytes(std::vector<uint8_t> bytes, std::string& why,
                                                    const SongLimits& limits) {
  if (bytes.empty()) {
    why = "empty";
    return nullptr;
  }
  std::unique_ptr<SongDecoder> decoder(new SongDecoder);
  decoder->memory_ = std::make_unique<Memory>();
  decoder->memory_->bytes = std::move(bytes);
  // libsndfile asks through these; the user pointer is the Memory.
  static SF_VIRTUAL_IO io = {
      [](void* user) { return MemoryLength(&static_cast<Memory*>(user)->bytes); },
      [](sf_count_t offset, int whence, void* user) -> sf_count_t {
        auto* memory = static_cast<Memory*>(user);
        const sf_count_t size = static_cast<sf_count_t>(memory->bytes.size());
        sf_count_t base = whence == SEEK_CUR ? memory->position : whence == SEEK_END ? size : 0;
        if (offset < -base || offset > size - base) return -1;
        memory->position = base + offset;
        return memory->position;
      },
      [](void* buffer, sf_count_t count, void* user) -> sf_count_t {
        auto* memory = static_cast<Memory*>(user);
        const sf_count_t size = static_cast<sf_count_t>(memory->bytes.size());
        const sf_count_t n = std::clamp<sf_count_t>(size - memory->position, 0, count);
        if (n > 0) std::memcpy(buffer, memory->bytes.data() + memory->position, n);
        memory->position += n;
        return n;
      },
      [](const void*, sf_count_t, void*) -> sf_count_t { return 0; },
      [](void* user) { return static_cast<Memory*>(user)->position; }};
  SF_INFO info{};
  decoder->file_ = sf_open_virtual(&io, SFM_READ, &info, decoder->memory_.get());
  if (!decoder->file_) {
    why = ReasonFor(sf_error(nullptr));
    return nullptr;
  }
  return Finish(std::move(decoder), info, why, limits);
}

std::unique_ptr<SongDecoder> SongDecoder::Finish(std::unique_ptr<SongDecoder> decoder, SF_INFO info,
                                                 std::string& why, const SongLimits& limits) {
  if (info.channels < 1 || info.channels > limits.maxChannels) {
    why = "unsupported format: " + std::to_string(info.channels) + " channels";
    return nullptr;
  }
  if (info.samplerate < limits.minRate || info.samplerate > limits.maxRate) {
    why = "unsupported format: a rate of " + std::to_string(info.samplerate) + " Hz";
    return nullptr;
  }
  if (info.frames <= 0) {
    why = "no sound in it";
    return nullptr;
  }
  decoder->channels_ = info.channels;
  decoder->rate_ = info.samplerate;
  const auto cap = static_cast<int64_t>(limits.maxSeconds * info.samplerate);
  decoder->frames_ = std::min<int64_t>(info.frames, cap);
  return decoder;
}

SongDecoder::~SongDecoder() {
  if (file_) sf_close(file_);
}

size_t SongDecoder::Read(float* mono, size_t count) {
  size_t done = 0;
  constexpr size_t kChunk = 4096;
  interleaved_.resize(kChunk * channels_);
  while (done < count && read_ < frames_) {
    const auto want = static_cast<sf_count_t>(
        std::min<int64_t>({static_cast<int64_t>(count - done), int64_t{kChunk}, frames_ - read_}));
    const sf_count_t got = sf_readf_float(file_, interleaved_.data(), want);
    if (got <= 0) {
      // Short of the stated length: the rest of the file is missing or broken.
      frames_ = read_;
      break;
    }
    for (sf_count_t frame = 0; frame < got; ++frame) {
      float sum = 0.0f;
      for (int channel = 0; channel < channels_; ++channel) {
        sum += interleaved_[frame * channels_ + channel];
      }
      // Damaged floating-point files can hold anything; the analysis wants finite numbers.
      const float value = sum / static_cast<float>(channels_);
      mono[done + frame] = std::isfinite(value) ? std::clamp(value, -4.0f, 4.0f) : 0.0f;
    }
    done += static_cast<size_t>(got);
    read_ += got;
  }
  return done;
}

}  // namespace fenwhit
