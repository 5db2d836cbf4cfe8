#pragma once
// Where the mix goes: a sound card through SDL, or, when there is none, a thread that
// takes the mix at the same pace and discards it, so stream time still runs in real time.
#include <cstdint>
#include <memory>
#include <string>

namespace fenwhit {

// Called on the output's own thread for every buffer of interleaved stereo frames.
using RenderFunction = void (*)(void* context, int16_t* out, int frames);

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Milliseconds from a buffer's mix to its sound leaving the speaker: what the device and
  // the sound server hold. 0 where nothing is heard.
  virtual int LatencyMs() const { return 0; }
};

// Frames per buffer of the silent output: about 11.6 ms at 44.1 kHz.
constexpr int kOutputBufferFrames = 512;
// Frames per buffer asked of the sound card: about 23 ms at 44.1 kHz, which is also what
// a sound server keeps queued for us (SDL asks PulseAudio for one buffer), so it is how
// late a busy machine may hand the audio thread its core before the card runs dry. Under
// load half this dropped out several times a second; twice this cost 23 ms more and did
// not help, as the stalls left were longer still.
constexpr int kDeviceBufferFrames = 1024;

// The SDL audio device, 16-bit stereo at rate. nullptr when there is none; reason then
// says why, and is empty when SDL's "dummy" driver was asked for (it only sleeps whole
// milliseconds between buffers, so its clock drifts; the silent output replaces it).
std::unique_ptr<AudioOutput> OpenSdlAudioOutput(int rate, RenderFunction render, void* context,
                                                std::string& reason);

// A thread that renders a buffer every kOutputBufferFrames / rate seconds of real time.
std::unique_ptr<AudioOutput> StartSilentAudioOutput(int rate, RenderFunction render, void* context);

}  // namespace fenwhit
