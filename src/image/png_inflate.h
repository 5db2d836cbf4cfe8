#pragma once
// Joining the IDAT chunks and inflating them into the filtered scanlines.
#include <optional>
#include <vector>

#include "image/png_format.h"

namespace fenwhit::png {

// All IDAT data in file order, wherever the chunks stand; none when there is no IDAT chunk.
std::optional<std::vector<uint8_t>> JoinImageData(const std::vector<PngChunk>& chunks);

// Room given to zlib: a fifth more than expected plus 12 bytes, rounded to nearest.
uint64_t InflateBufferSize(uint64_t expectedSize);

// Inflates the joined data; it must come out at exactly expectedSize bytes.
std::optional<std::vector<uint8_t>> InflateImageData(const std::vector<uint8_t>& compressed,
                                                     uint64_t expectedSize);

}  // namespace fenwhit::png
