#pragma once
// How long the sound card path holds what was mixed, estimated from what we asked for:
// SDL tells no sound server's own latency.
#include <string_view>

namespace fenwhit {

// driver: SDL's audio driver name; pulseLatency: PULSE_LATENCY_MSEC as set (or null).
// PulseAudio is asked (by SDL) to fit its whole queue to the latency in that variable, so
// the newest mixed frame waits that and the half buffer the queue overshoots it by when a
// buffer is written; other drivers keep about one buffer queued beyond the one mixed.
int EstimateLatencyMs(const char* driver, const char* pulseLatency, int bufferFrames, int rate);

}  // namespace fenwhit
