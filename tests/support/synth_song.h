#pragma once
// Songs made in the test with beats known exactly: a kick on the beat and a snare after it,
// hi-hats on the beat and between, written as a WAV file through libsndfile.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fenwhit::testing {

struct SynthSong {
  std::vector<float> samples;  // mono
  int rate = 44100;
  std::vector<double> beats;  // seconds
};

struct SongShape {
  double seconds = 20.0;
  // The time of beat k.
  std::function<double(int)> beatTime;
  double swing = 0.0;       // the off-beat hi-hat this share of a beat late
  double quietUntil = 0.0;  // before this the drums play at quietGain
  double quietGain = 0.05;
};

SynthSong RenderSong(const SongShape& shape);
// Beats every 60/tempo seconds from a start.
std::function<double(int)> SteadyBeats(double tempo, double start = 0.3);
// Loud white noise with no beat in it.
SynthSong NoiseSong(double seconds);
void WriteWav(const std::filesystem::path& path, const SynthSong& song, int channels = 1);
// The share of found and true beats that agree within 70 ms (the F-measure).
double BeatAgreement(const std::vector<double>& found, const std::vector<double>& truth);

}  // namespace fenwhit::testing
