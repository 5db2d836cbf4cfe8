#pragma once
// Songs made on the spot in any format libsndfile writes: silence with a short loud
// burst at each beat, so a render shows where the beats are.
#include <sndfile.h>

#include <cmath>
#include <string>
#include <vector>

namespace fenwhit::testing {

inline constexpr int kSongRate = 22050;
inline constexpr double kBurstSeconds = 0.02;

inline std::vector<float> BurstsAt(const std::vector<double>& beats, double seconds,
                                   int rate = kSongRate) {
  std::vector<float> frames(static_cast<size_t>(seconds * rate), 0.0f);
  for (const double beat : beats) {
    const size_t from = static_cast<size_t>(beat * rate);
    for (size_t i = from; i < frames.size() && i < from + kBurstSeconds * rate; ++i) {
      frames[i] = 0.5f * static_cast<float>(std::sin(2 * M_PI * 1000.0 * i / rate));
    }
  }
  return frames;
}

// format e.g. SF_FORMAT_WAV | SF_FORMAT_PCM_16; frames interleaved.
inline bool WriteSong(const std::string& path, const std::vector<float>& frames, int format,
                      int rate = kSongRate, int channels = 1) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return false;
  const auto count = static_cast<sf_count_t>(frames.size() / static_cast<size_t>(channels));
  const sf_count_t wrote = sf_writef_float(file, frames.data(), count);
  return sf_close(file) == 0 && wrote == count;
}

}  // namespace fenwhit::testing
