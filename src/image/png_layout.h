#pragma once
// Scanline geometry: the passes of an image, their row sizes and the inflated size they add up to.
#include <optional>
#include <vector>

#include "image/png_format.h"

namespace fenwhit::png {

// Larger images are refused before anything is allocated for them.
inline constexpr uint64_t kMaxPixels = uint64_t{1} << 28;

// One sub-image: its pixels land at rows firstRow + r * rowStep, columns firstColumn + c *
// columnStep.
struct PassLayout {
  uint32_t firstColumn;
  uint32_t firstRow;
  uint32_t columnStep;
  uint32_t rowStep;
  uint32_t columns;
  uint32_t rows;
  size_t rowBytes;  // filter-type byte included
};

// Bytes per complete pixel, the distance the filters look back.
size_t BytesPerPixel(const PngHeader& header);

// Filter byte plus the packed samples of `columns` pixels.
uint64_t RowBytes(const PngHeader& header, uint64_t columns);

// The non-empty passes in decoding order; one for a plain image, up to seven when interlaced.
// None when the image is too large to decode.
std::optional<std::vector<PassLayout>> LayOutPasses(const PngHeader& header);

// Size of all filtered scanlines together.
uint64_t ExpectedDataSize(const std::vector<PassLayout>& passes);

}  // namespace fenwhit::png
