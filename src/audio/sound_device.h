#pragma once
// The seam between the game and the sound output: numbered channels, one-shot samples
// with pan and volume, and looping streams that report their play position.
#include <cstdint>
#include <memory>
#include <string>

#include "audio/stream_decoder.h"

namespace fenwhit {

// Handles of loaded samples and open streams. 0 is the null handle: using it does nothing.
using SoundHandle = int32_t;

// The player's volume runs from 0 (silent) to this (unity).
inline constexpr int kMasterVolumeSteps = 10;

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;

  virtual void Start(int mixRate, int softwareChannels) = 0;
  // Decodes a whole file into a 16-bit mono sample. slot is the caller's id for it.
  virtual SoundHandle LoadSample(int slot, const std::string& path) = 0;
  // Starts the sample on exactly that channel, cutting off whatever plays there.
  virtual void PlaySample(int channel, SoundHandle sample) = 0;
  // The same, placed at pan from its first frame on. A device that mixes while the
  // caller runs overrides this: a pan set after the start can miss the first buffer.
  virtual void PlaySampleAt(int channel, SoundHandle sample, int pan) {
    PlaySample(channel, sample);
    SetPan(channel, pan);
  }
  // 0 left, 128 centre, 255 right; larger values act as 255.
  virtual void SetPan(int channel, int pan) = 0;
  // 0 to 255.
  virtual void SetVolume(int channel, int volume) = 0;
  virtual void StopChannel(int channel) = 0;
  // Opens a looping stream, decoded as it plays.
  virtual SoundHandle OpenStream(const std::string& path) = 0;
  virtual void PlayStream(int channel, SoundHandle stream) = 0;
  // Milliseconds within the current loop of the stream.
  virtual int32_t StreamTime(SoundHandle stream) = 0;
  // Whole loops the stream has played, or -1 where the device cannot tell. A count
  // tells a poll that comes late how many loop starts it slept through.
  virtual int64_t StreamLoops(SoundHandle /*stream*/) { return -1; }
  // The length of one loop of the stream in milliseconds, or -1 where the device cannot tell.
  virtual int32_t StreamLoopMs(SoundHandle /*stream*/) { return -1; }
  // Seconds the stream has played since it first started, across its loops, or -1 where
  // the device cannot tell (or for an unknown handle).
  virtual double StreamSecondsPlayed(SoundHandle /*stream*/) { return -1.0; }
  // A looping stream decoded by the given decoder (a player's song); 0 where the device
  // plays no such streams or the decoder is null.
  virtual SoundHandle OpenDecodedStream(std::unique_ptr<StreamDecoder> /*decoder*/) { return 0; }
  virtual void StopStream(SoundHandle stream) = 0;
  virtual void CloseStream(SoundHandle stream) = 0;

  // Holds every channel and stream where it stands, silent, until resumed: stream positions
  // (StreamTime) stop, and go on from the same place. Commands posted meanwhile still apply.
  virtual void SetPaused(bool /*paused*/) {}
  // The player's volume, 0 (silent) to kMasterVolumeSteps: scales the whole mix after the
  // channels' own volumes, which keep their meaning for the game.
  virtual void SetMasterVolume(int /*level*/) {}
  // Milliseconds from the mix to the speaker (0 where nothing is heard): a beat counted as
  // it is mixed is heard this much later.
  virtual int OutputLatencyMs() { return 0; }
  // How long after StreamTime reports a point of the stream that point is heard: the
  // output's latency, less what the stream's clock already runs behind its mix.
  virtual int StreamLatencyMs(SoundHandle /*stream*/) { return OutputLatencyMs(); }
};

SoundDevice& TheSoundDevice();
void SetSoundDevice(SoundDevice* device);

}  // namespace fenwhit
