// The sound layer against real time. Mix: all 71 channels busy with samples, mixed in
// output-sized buffers; the counter mix_per_audio is mixing time over the audio's own
// length (0.02 means 2 % of one core). Decode: a music stream decoded and looped ahead
// of the mixer as the feeder does it; decode_per_audio likewise.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "audio/audio_output.h"
#include "audio/mixer_sound_device.h"
#include "audio/stream_source.h"

namespace fenwhit {
namespace {

constexpr int kRate = 44100;

void BM_MixAllChannels(benchmark::State& state) {
  MixerSoundDevice device;
  std::mt19937 random(1);
  std::uniform_int_distribution<int> noise(-8000, 8000);
  std::vector<SoundHandle> samples;
  for (int i = 0; i < 8; ++i) {
    std::vector<int16_t> frames(static_cast<size_t>(kRate) * 2);
    for (auto& v : frames) v = static_cast<int16_t>(noise(random));
    samples.push_back(device.AddSample(std::move(frames)));
  }
  std::vector<int16_t> buffer(kOutputBufferFrames * 2);
  double audioSeconds = 0.0;
  for (auto _ : state) {
    // One second of audio, with every channel (re)started at its beginning.
    for (int channel = 0; channel < MixerSoundDevice::kChannels; ++channel) {
      device.PlaySample(channel, samples[channel % samples.size()]);
      device.SetPan(channel, channel * 255 / 70);
      device.SetVolume(channel, 100 + channel);
    }
    for (int done = 0; done < kRate; done += kOutputBufferFrames) {
      device.RenderOffline(buffer.data(), kOutputBufferFrames);
    }
    benchmark::DoNotOptimize(buffer.data());
    audioSeconds += static_cast<double>(kRate / kOutputBufferFrames * kOutputBufferFrames) / kRate;
  }
  state.counters["mix_per_audio"] =
      benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MixAllChannels)->Unit(benchmark::kMillisecond);

void BM_DecodeStream(benchmark::State& state) {
  const std::string path = std::string(FENWHIT_SOURCE_DIR) + "/assets/Fenwhit.ogg";
  auto stream = StreamSource::Open(FileSource::Open(path), kRate);
  if (!stream) {
    state.SkipWithError("assets/Fenwhit.ogg is missing or unreadable");
    return;
  }
  std::vector<int16_t> buffer(2048 * 2);
  double audioSeconds = 0.0;
  for (auto _ : state) {
    // Ten seconds of audio per iteration, looping the file as needed.
    for (int done = 0; done < 10 * kRate; done += 2048) stream->Produce(buffer.data(), 2048);
    benchmark::DoNotOptimize(buffer.data());
    audioSeconds += static_cast<double>((10 * kRate + 2047) / 2048 * 2048) / kRate;
  }
  state.counters["decode_per_audio"] =
      benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DecodeStream)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fenwhit
