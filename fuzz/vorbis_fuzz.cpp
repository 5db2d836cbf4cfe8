// Any bytes through the sample decoder and the looping stream decoder: no crash, hang
// or leak, and bounded output.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/sample_decoder.h"
#include "audio/stream_source.h"

// libvorbisfile 1.3.7 itself loses memory when ov_open_callbacks fails on some damaged
// headers (its serial number list, half-read codec setups); the caller cannot free it.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libvorbisfile.so\nleak:libvorbis.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace fenwhit;
  const std::vector<uint8_t> bytes(data, data + size);
  std::vector<int16_t> sample;
  DecodeSample(std::make_unique<MemorySource>(bytes), 44100, sample);

  auto stream = StreamSource::Open(std::make_unique<MemorySource>(bytes), 44100);
  if (stream) {
    // Enough to cross a loop seam of a short file several times.
    int16_t buffer[2048 * 2];
    for (int i = 0; i < 16 && !stream->Dead(); ++i) stream->Produce(buffer, 2048);
  }
  return 0;
}
