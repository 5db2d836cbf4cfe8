#include "image/png_inflate.h"

#include <libdeflate.h>

#include <cstring>

namespace fenwhit::png {
namespace {

// Deflate cannot do better than 258 bytes for two bits (longest match, one-bit codes), so
// data claiming more than this is refused before a buffer is allocated for it.
constexpr uint64_t kMaxDeflateRatio = 1032;

struct DecompressorDeleter {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// One per thread, kept: it caches the fixed Huffman tables that small files keep needing.
libdeflate_decompressor* ThreadDecompressor() {
  thread_local std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> decompressor;
  if (!decompressor) decompressor.reset(libdeflate_alloc_decompressor());
  return decompressor.get();
}

}  // namespace

uint64_t InflateBufferSize(uint64_t expectedSize) {
  // expected * 6/5 never ends in exactly one half, so rounding to nearest is unambiguous.
  return (expectedSize * 6 + 2) / 5 + 12;
}

std::optional<Scanlines> InflateImageData(const std::vector<PngChunk>& chunks,
                                          uint64_t expectedSize) {
  size_t total = 0;  // bounded by the file size
  size_t count = 0;
  const PngChunk* first = nullptr;
  for (const PngChunk& chunk : chunks) {
    if (!chunk.Is("IDAT")) continue;
    if (first == nullptr) first = &chunk;
    total += chunk.length;
    ++count;
  }
  if (first == nullptr) return std::nullopt;
  if (expectedSize > uint64_t{total} * kMaxDeflateRatio) return std::nullopt;

  // A single IDAT chunk is inflated where it lies; several are joined first.
  const uint8_t* compressed = first->data;
  std::unique_ptr<uint8_t[]> joined;
  if (count > 1) {
    joined = std::make_unique_for_overwrite<uint8_t[]>(total);
    uint8_t* end = joined.get();
    for (const PngChunk& chunk : chunks) {
      if (!chunk.Is("IDAT") || chunk.length == 0) continue;
      std::memcpy(end, chunk.data, chunk.length);
      end += chunk.length;
    }
    compressed = joined.get();
  }

  // Never read before it is written: filling it first would only cost time.
  const uint64_t capacity = InflateBufferSize(expectedSize);
  Scanlines inflated = std::make_unique_for_overwrite<uint8_t[]>(capacity);
  libdeflate_decompressor* decompressor = ThreadDecompressor();
  if (decompressor == nullptr) return std::nullopt;
  // libdeflate checks the zlib header, every code and the Adler-32 like zlib, but lets through
  // a few codes zlib calls invalid (lengths 286 and 287, distances 30 and 31, tables declaring
  // more than 286 and 30 codes); only damaged or hand-made data carries them.
  size_t inflatedSize = 0;
  if (libdeflate_zlib_decompress(decompressor, compressed, total, inflated.get(), capacity,
                                 &inflatedSize) != LIBDEFLATE_SUCCESS) {
    return std::nullopt;
  }
  if (inflatedSize != expectedSize) return std::nullopt;
  return inflated;
}

}  // namespace fenwhit::png
