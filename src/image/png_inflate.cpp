#include "image/png_inflate.h"

#include <zlib.h>

namespace fenwhit::png {
namespace {

// Deflate cannot do better than 258 bytes for two bits (longest match, one-bit codes), so
// data claiming more than this is refused before a buffer is allocated for it.
constexpr uint64_t kMaxDeflateRatio = 1032;

}  // namespace

std::optional<std::vector<uint8_t>> JoinImageData(const std::vector<PngChunk>& chunks) {
  size_t total = 0;
  bool found = false;
  for (const PngChunk& chunk : chunks) {
    if (!chunk.Is("IDAT")) continue;
    found = true;
    total += chunk.length;  // bounded by the file size
  }
  if (!found) return std::nullopt;
  std::vector<uint8_t> joined;
  joined.reserve(total);
  for (const PngChunk& chunk : chunks) {
    if (chunk.Is("IDAT")) joined.insert(joined.end(), chunk.data, chunk.data + chunk.length);
  }
  return joined;
}

uint64_t InflateBufferSize(uint64_t expectedSize) {
  // expected * 6/5 never ends in exactly one half, so rounding to nearest is unambiguous.
  return (expectedSize * 6 + 2) / 5 + 12;
}

std::optional<std::vector<uint8_t>> InflateImageData(const std::vector<uint8_t>& compressed,
                                                     uint64_t expectedSize) {
  if (expectedSize > uint64_t{compressed.size()} * kMaxDeflateRatio) return std::nullopt;
  const uint64_t capacity = InflateBufferSize(expectedSize);
  std::vector<uint8_t> inflated(capacity);
  uLongf inflatedSize = capacity;
  if (uncompress(inflated.data(), &inflatedSize, compressed.data(), compressed.size()) != Z_OK) {
    return std::nullopt;
  }
  if (inflatedSize != expectedSize) return std::nullopt;
  inflated.resize(inflatedSize);
  return inflated;
}

}  // namespace fenwhit::png
