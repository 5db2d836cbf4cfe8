#include "audio/stream_source.h"

#include "audio/pcm_convert.h"
#include "audio/vorbis_decoder.h"

namespace fenwhit {

namespace {
constexpr int kBlockFrames = 2048;
constexpr int kMostDamagedStretches = 64;
}  // namespace

std::unique_ptr<StreamSource> StreamSource::Open(std::unique_ptr<ByteSource> source, int mixRate) {
  return Open(VorbisDecoder::Open(std::move(source)), mixRate);
}

std::unique_ptr<StreamSource> StreamSource::Open(std::unique_ptr<StreamDecoder> decoder,
                                                 int mixRate) {
  if (!decoder) return nullptr;
  return std::unique_ptr<StreamSource>(new StreamSource(std::move(decoder), mixRate));
}

StreamSource::StreamSource(std::unique_ptr<StreamDecoder> decoder, int mixRate)
    : decoder_(std::move(decoder)),
      mixRate_(mixRate),
      resamplerRate_(decoder_->Rate()),
      resampler_(resamplerRate_, mixRate, 2) {}

bool StreamSource::DecodeBlock() {
  int damaged = 0;
  bool rewound = false;  // an end right after a rewind: the file yields nothing at all
  for (;;) {
    float** channels = nullptr;
    int channelCount = 0;
    const long frames = decoder_->Read(&channels, channelCount, kBlockFrames);
    if (frames == 0) {
      if (rewound || !decoder_->Rewind()) return false;
      rewound = true;
      continue;
    }
    if (frames < 0) {
      if (++damaged > kMostDamagedStretches) return false;
      continue;
    }
    rewound = false;
    // A decoder that goes on with another song may go on at another rate.
    if (decoder_->Rate() != resamplerRate_) {
      resamplerRate_ = decoder_->Rate();
      resampler_ = LinearResampler(resamplerRate_, mixRate_, 2);
    }
    // Mono plays on both sides; beyond two channels only the first two are kept.
    const float* left = channels[0];
    const float* right = channelCount > 1 ? channels[1] : channels[0];
    stereo_.resize(static_cast<size_t>(frames) * 2);
    for (long i = 0; i < frames; ++i) {
      stereo_[2 * i] = left[i];
      stereo_[2 * i + 1] = right[i];
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(pendingRead_));
    pendingRead_ = 0;
    resampler_.Process(stereo_.data(), static_cast<int>(frames), pending_);
    if (pending_.size() > pendingRead_) return true;
  }
}

int StreamSource::Produce(int16_t* out, int frames) {
  int written = 0;
  while (written < frames && !dead_) {
    if (pendingRead_ >= pending_.size() && !DecodeBlock()) {
      dead_ = true;
      break;
    }
    while (written < frames && pendingRead_ < pending_.size()) {
      out[2 * written] = FloatToPcm16(pending_[pendingRead_]);
      out[2 * written + 1] = FloatToPcm16(pending_[pendingRead_ + 1]);
      pendingRead_ += 2;
      ++written;
    }
  }
  return written;
}

}  // namespace fenwhit
