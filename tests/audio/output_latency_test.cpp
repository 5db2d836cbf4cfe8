// What the sound card path is taken to hold, from the driver and what was asked of it.
#include "audio/output_latency.h"

#include <gtest/gtest.h>

namespace fenwhit {
namespace {

TEST(OutputLatency, TheServersQueueAndHalfABufferWhereItIsKnownElseOneBuffer) {
  const struct {
    const char* driver;
    const char* pulseLatency;
    int bufferFrames;
    int rate;
    int expectedMs;
  } cases[] = {
      {"pulseaudio", "50", 1024, 44100, 61},
      {"pulseaudio", "120", 1024, 48000, 130},
      // The server never holds less than the buffer we hand it.
      {"pulseaudio", "10", 1024, 44100, 34},
      // A value the server would not take leaves the buffer alone.
      {"pulseaudio", "fast", 1024, 44100, 23},
      {"pulseaudio", "50ms", 1024, 44100, 23},
      {"pulseaudio", "-5", 1024, 44100, 23},
      {"pulseaudio", "999999", 1024, 44100, 23},
      {"pulseaudio", nullptr, 1024, 44100, 23},
      // Other drivers do not read the variable.
      {"alsa", "50", 1024, 44100, 23},
      {"pipewire", "50", 2048, 48000, 42},
      {nullptr, nullptr, 1024, 44100, 23},
      {"alsa", nullptr, 1024, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EstimateLatencyMs(c.driver, c.pulseLatency, c.bufferFrames, c.rate), c.expectedMs)
        << (c.driver ? c.driver : "no driver") << " " << (c.pulseLatency ? c.pulseLatency : "-");
  }
}

}  // namespace
}  // namespace fenwhit
