#pragma once
// Inflating the image data into the filtered scanlines.
#include <memory>
#include <optional>
#include <vector>

#include "image/png_format.h"

namespace fenwhit::png {

// Room given to the inflater: a fifth more than expected plus 12 bytes, rounded to nearest.
uint64_t InflateBufferSize(uint64_t expectedSize);

// The inflated, still filtered scanlines; only the first expectedSize bytes are meaningful.
using Scanlines = std::unique_ptr<uint8_t[]>;

// Inflates all IDAT data in file order, wherever the chunks stand; it must come out at exactly
// expectedSize bytes. None without an IDAT chunk or for damaged data.
std::optional<Scanlines> InflateImageData(const std::vector<PngChunk>& chunks,
                                          uint64_t expectedSize);

}  // namespace fenwhit::png
