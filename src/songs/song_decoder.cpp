#include "songs/song_decoder.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "songs/song_stream.h"

namespace fenwhit {

namespace {

constexpr int kBlockFrames = 4096;
// Damaged stretches skipped one after another before the rest of the song is given up.
constexpr int kMostDamagedStretches = 8;

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
  auto source = FileSource::Open(path);
  if (!source) {
    why = "cannot read it";
    return nullptr;
  }
  return From(std::move(source), why, limits);
}

std::unique_ptr<SongDecoder> SongDecoder::OpenBytes(std::vector<uint8_t> bytes, std::string& why,
                                                    const SongLimits& limits) {
  if (bytes.empty()) {
    why = "empty";
    return nullptr;
  }
  return From(std::make_unique<MemorySource>(std::move(bytes)), why, limits);
}

std::unique_ptr<SongDecoder> SongDecoder::From(std::unique_ptr<ByteSource> source, std::string& why,
                                               const SongLimits& limits) {
  std::unique_ptr<SongDecoder> song(new SongDecoder);
  song->decoder_ = OpenSongDecoder(std::move(source), why);
  if (!song->decoder_) return nullptr;
  song->rate_ = song->decoder_->Rate();
  if (song->rate_ < limits.minRate || song->rate_ > limits.maxRate) {
    why = "unsupported format: a rate of " + std::to_string(song->rate_) + " Hz";
    return nullptr;
  }
  song->maxChannels_ = limits.maxChannels;
  const auto cap = static_cast<int64_t>(limits.maxSeconds * song->rate_);
  song->frames_ = std::min<int64_t>(song->decoder_->TotalFrames(), cap);
  // The first stretch says how many channels there are, and whether there is sound at all.
  if (!song->DecodeBlock()) {
    if (song->refusedChannels_ > 0) {
      why = "unsupported format: " + std::to_string(song->refusedChannels_) + " channels";
    } else {
      why = song->damagedStretches_ > 0 ? "damaged" : "no sound in it";
    }
    return nullptr;
  }
  return song;
}

bool SongDecoder::DecodeBlock() {
  pending_.clear();
  pendingRead_ = 0;
  while (read_ < frames_) {
    float** channels = nullptr;
    int channelCount = 0;
    const auto want = static_cast<int>(std::min<int64_t>(kBlockFrames, frames_ - read_));
    const long got = decoder_->Read(&channels, channelCount, want);
    if (got < 0 && ++damagedStretches_ <= kMostDamagedStretches) continue;
    if (got > 0 && channelCount > maxChannels_) refusedChannels_ = channelCount;
    if (got <= 0 || channelCount < 1 || channelCount > maxChannels_) break;
    const long frames = std::min<long>(got, want);
    pending_.resize(static_cast<size_t>(frames));
    for (long i = 0; i < frames; ++i) {
      float sum = 0.0f;
      for (int channel = 0; channel < channelCount; ++channel) sum += channels[channel][i];
      // Damaged floating-point files can hold anything; the analysis wants finite numbers.
      const float value = sum / static_cast<float>(channelCount);
      pending_[static_cast<size_t>(i)] =
          std::isfinite(value) ? std::clamp(value, -4.0f, 4.0f) : 0.0f;
    }
    read_ += frames;
    damagedStretches_ = 0;
    return true;
  }
  // Short of the stated length: the rest of the file is missing or broken.
  frames_ = read_;
  return false;
}

size_t SongDecoder::Read(float* mono, size_t count) {
  size_t done = 0;
  while (done < count) {
    if (pendingRead_ == pending_.size() && !DecodeBlock()) break;
    const size_t n = std::min(count - done, pending_.size() - pendingRead_);
    std::copy_n(pending_.begin() + static_cast<long>(pendingRead_), n, mono + done);
    pendingRead_ += n;
    done += n;
  }
  return done;
}

}  // namespace fenwhit
