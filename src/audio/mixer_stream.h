#pragma once
// One open stream as the mixer sees it: the decoder, the ring it fills ahead of the
// mixing thread, and the flags by which its owners hand it over when it is closed.
#include <atomic>
#include <cstdint>
#include <memory>

#include "audio/frame_ring.h"
#include "audio/playback_clock.h"
#include "audio/stream_source.h"

namespace fenwhit {

struct MixerStream {
  // About 1.5 s at 44.1 kHz: a loaded machine can keep the feeder off its core for a
  // good part of a second. 256 KiB a stream.
  static constexpr size_t kRingFrames = 65536;

  MixerStream(std::unique_ptr<StreamSource> from, int rate)
      : source(std::move(from)),
        ring(kRingFrames),
        mixRate(rate),
        sourceRate(source->SourceRate()),
        loopFrames(source->LoopFrames()) {}

  // Milliseconds within the current loop after `frames` frames at the mixing rate.
  int32_t LoopMilliseconds(int64_t frames) const {
    const int64_t sourceFrames = frames * sourceRate / mixRate;
    return static_cast<int32_t>(sourceFrames % loopFrames * 1000 / sourceRate);
  }
  // Whole loops after `frames` frames at the mixing rate.
  int64_t Loops(int64_t frames) const { return frames * sourceRate / mixRate / loopFrames; }

  // Only the feeder touches the source once the stream is shared.
  std::unique_ptr<StreamSource> source;
  FrameRing ring;
  const int mixRate;
  const int sourceRate;
  const int64_t loopFrames;

  PlaybackClock clock;
  // Set by the caller that stops the stream: its position from then on.
  std::atomic<bool> stopped{false};
  std::atomic<int64_t> stoppedAt{0};
  // Closing: the caller sets closed, the mixer sets released once it holds no pointer
  // to the stream any more, and then the feeder frees it.
  std::atomic<bool> closed{false};
  std::atomic<bool> released{false};

  // Mixing thread only: the channel, the frames taken from the ring, and the clock as
  // last published (running says whether it was moving).
  int channel = -1;
  int64_t played = 0;
  int64_t playedBeforeBuffer = 0;
  int64_t clockAnchor = 0;
  int64_t clockStamp = 0;
  bool clockRunning = false;
};

}  // namespace fenwhit
