// Feeds arbitrary bytes to the PNG decoder; any crash, hang, leak or sanitizer report is a bug.
// Each input is decoded twice: as it is, and with every chunk's CRC recomputed, since almost
// every mutation breaks a CRC and would otherwise never reach inflating, unfiltering and pixels.
#include <libdeflate.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/png.h"

namespace {

uint32_t ReadBigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void RepairCrcs(std::vector<uint8_t>& bytes) {
  size_t position = 8;
  while (position + 12 <= bytes.size()) {
    const uint64_t length = ReadBigEndian32(bytes.data() + position);
    if (length + 12 > bytes.size() - position) return;
    const uint8_t* typeAndData = bytes.data() + position + 4;
    const uint32_t crc = libdeflate_crc32(0, typeAndData, size_t(length) + 4);
    uint8_t* stored = bytes.data() + position + 8 + length;
    for (int i = 0; i < 4; ++i) stored[i] = uint8_t(crc >> (24 - 8 * i));
    position += size_t(length) + 12;
  }
}

void DecodeAndTouch(const uint8_t* data, size_t size) {
  const std::optional<fenwhit::Image> image = fenwhit::DecodePngBuffer(data, size);
  if (!image) return;
  // Every pixel must exist: touch the last one so a short buffer is caught.
  volatile uint32_t last = image->pixels.at(size_t(image->width) * size_t(image->height) - 1);
  (void)last;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DecodeAndTouch(data, size);
  std::vector<uint8_t> repaired(data, data + size);
  RepairCrcs(repaired);
  DecodeAndTouch(repaired.data(), repaired.size());
  return 0;
}
