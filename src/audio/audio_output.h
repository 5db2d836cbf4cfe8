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
};

// Frames per output buffer: about 11.6 ms at 44.1 kHz.
constexpr int kOutputBufferFrames = 512;

// The SDL audio device, 16-bit stereo at rate. nullptr when there is none; reason then
// says why, and is empty when SDL's "dummy" driver was asked for (it only sleeps whole
// milliseconds between buffers, so its clock drifts; the silent output replaces it).
std::unique_ptr<AudioOutput> OpenSdlAudioOutput(int rate, RenderFunction render, void* context,
                                                std::string& reason);

// A thread that renders a buffer every kOutputBufferFrames / rate seconds of real time.
std::unique_ptr<AudioOutput> StartSilentAudioOutput(int rate, RenderFunction render, void* context);

}  // namespace fenwhit
