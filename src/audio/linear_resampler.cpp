#include "audio/linear_resampler.h"

namespace fenwhit {

LinearResampler::LinearResampler(int fromRate, int toRate, int channels)
    : from_(fromRate),
      to_(toRate),
      channels_(channels < 1   ? 1
                : channels > 2 ? 2
                               : channels) {}

void LinearResampler::Process(const float* in, int frames, std::vector<float>& out) {
  if (frames <= 0) return;
  if (Identity()) {
    out.insert(out.end(), in, in + static_cast<int64_t>(frames) * channels_);
    return;
  }
  const int64_t end = static_cast<int64_t>(frames - 1) * to_;
  while (phase_ < end) {
    // floor division, as the phase may be negative down to -to_.
    const int64_t index = phase_ >= 0 ? phase_ / to_ : -1;
    const float fraction = static_cast<float>(phase_ - index * to_) / static_cast<float>(to_);
    for (int c = 0; c < channels_; ++c) {
      const float a = index < 0 ? previous_[c] : in[index * channels_ + c];
      const float b = in[(index + 1) * channels_ + c];
      out.push_back(a + (b - a) * fraction);
    }
    phase_ += from_;
  }
  phase_ -= static_cast<int64_t>(frames) * to_;
  for (int c = 0; c < channels_; ++c)
    previous_[c] = in[static_cast<int64_t>(frames - 1) * channels_ + c];
}

}  // namespace fenwhit
