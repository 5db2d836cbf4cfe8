#include "support/synth_song.h"

#include <sndfile.h>

#include <cmath>
#include <random>
#include <stdexcept>

namespace fenwhit::testing {

namespace {

constexpr double kPi = 3.14159265358979;

void Add(std::vector<float>& samples, int rate, double at, double gain,
         const std::function<double(double)>& sound, double length) {
  const auto start = static_cast<size_t>(at * rate);
  for (size_t i = 0; i < static_cast<size_t>(length * rate) && start + i < samples.size(); ++i) {
    samples[start + i] += static_cast<float>(gain * sound(static_cast<double>(i) / rate));
  }
}

}  // namespace

SynthSong RenderSong(const SongShape& shape) {
  SynthSong song;
  song.samples.assign(static_cast<size_t>(shape.seconds * song.rate), 0.0f);
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0.0, 1.0);
  auto kick = [](double t) {
    return std::sin(2 * kPi * (50 * t + 80 / 30.0 * (1 - std::exp(-30 * t)))) * std::exp(-12 * t);
  };
  auto snare = [&](double t) { return 0.5 * noise(random) * std::exp(-25 * t); };
  auto hat = [&](double t) { return 0.15 * noise(random) * std::exp(-80 * t); };
  for (int k = 0;; ++k) {
    const double at = shape.beatTime(k);
    if (at >= shape.seconds - 0.05) break;
    const double period = shape.beatTime(k + 1) - at;
    const double gain = at < shape.quietUntil ? shape.quietGain : 1.0;
    song.beats.push_back(at);
    if (k % 2 == 0) {
      Add(song.samples, song.rate, at, gain, kick, 0.25);
    } else {
      Add(song.samples, song.rate, at, gain, snare, 0.2);
    }
    Add(song.samples, song.rate, at, gain, hat, 0.05);
    Add(song.samples, song.rate, at + period * (0.5 + shape.swing), gain, hat, 0.05);
  }
  return song;
}

std::function<double(int)> SteadyBeats(double tempo, double start) {
  return [=](int k) { return start + k * 60.0 / tempo; };
}

SynthSong NoiseSong(double seconds) {
  SynthSong song;
  std::mt19937 random(11);
  std::normal_distribution<float> noise(0.0f, 0.3f);
  song.samples.resize(static_cast<size_t>(seconds * song.rate));
  for (float& sample : song.samples) sample = noise(random);
  return song;
}

void WriteWav(const std::filesystem::path& path, const SynthSong& song, int channels) {
  SF_INFO info{};
  info.samplerate = song.rate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) throw std::runtime_error("cannot write " + path.string());
  std::vector<float> frames;
  for (float sample : song.samples) frames.insert(frames.end(), channels, sample);
  sf_writef_float(file, frames.data(), static_cast<sf_count_t>(song.samples.size()));
  sf_close(file);
}

double BeatAgreement(const std::vector<double>& found, const std::vector<double>& truth) {
  std::vector<bool> taken(truth.size(), false);
  int hits = 0;
  for (double beat : found) {
    for (size_t i = 0; i < truth.size(); ++i) {
      if (!taken[i] && std::abs(beat - truth[i]) <= 0.07) {
        taken[i] = true;
        ++hits;
        break;
      }
    }
  }
  if (hits == 0) return 0.0;
  const double precision = static_cast<double>(hits) / found.size();
  const double recall = static_cast<double>(hits) / truth.size();
  return 2 * precision * recall / (precision + recall);
}

}  // namespace fenwhit::testing
