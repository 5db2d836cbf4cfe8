#include "audio/sample_decoder.h"

#include "audio/linear_resampler.h"
#include "audio/pcm_convert.h"
#include "audio/vorbis_decoder.h"

namespace fenwhit {

namespace {
constexpr int kBlockFrames = 4096;
// A damaged file may report one bad stretch after another; past this many it is refused.
constexpr int kMostDamagedStretches = 64;
}  // namespace

bool DecodeSample(std::unique_ptr<ByteSource> source, int mixRate, std::vector<int16_t>& out) {
  out.clear();
  auto decoder = VorbisDecoder::Open(std::move(source));
  if (!decoder) return false;
  const size_t longest = static_cast<size_t>(kLongestSampleSeconds) * static_cast<size_t>(mixRate);
  LinearResampler resampler(decoder->Rate(), mixRate, 1);
  std::vector<float> mono;
  std::vector<float> resampled;
  int damaged = 0;
  for (;;) {
    float** channels = nullptr;
    int channelCount = 0;
    const long frames = decoder->Read(&channels, channelCount, kBlockFrames);
    if (frames == 0) break;
    if (frames < 0) {
      if (++damaged > kMostDamagedStretches) {
        out.clear();
        return false;
      }
      continue;
    }
    mono.assign(static_cast<size_t>(frames), 0.0f);
    const float share = 1.0f / static_cast<float>(channelCount);
    for (int c = 0; c < channelCount; ++c) {
      for (long i = 0; i < frames; ++i) mono[i] += channels[c][i] * share;
    }
    resampled.clear();
    resampler.Process(mono.data(), static_cast<int>(frames), resampled);
    if (out.size() + resampled.size() > longest) {
      out.clear();
      return false;
    }
    for (float value : resampled) out.push_back(FloatToPcm16(value));
  }
  return !out.empty();
}

}  // namespace fenwhit
