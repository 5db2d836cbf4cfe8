#include "image/png_layout.h"

#include <array>

namespace fenwhit::png {
namespace {

struct Placement {
  uint32_t firstColumn;
  uint32_t firstRow;
  uint32_t columnStep;
  uint32_t rowStep;
};

constexpr std::array<Placement, 7> kAdam7 = {{
    {0, 0, 8, 8},
    {4, 0, 8, 8},
    {0, 4, 4, 8},
    {2, 0, 4, 4},
    {0, 2, 2, 4},
    {1, 0, 2, 2},
    {0, 1, 1, 2},
}};

uint32_t ChannelCount(uint8_t colourType) {
  switch (colourType) {
    case kRgb:
      return 3;
    case kGreyAlpha:
      return 2;
    case kRgba:
      return 4;
    default:
      return 1;
  }
}

}  // namespace

size_t BytesPerPixel(const PngHeader& header) {
  const size_t sampleBytes = header.bitDepth < 8 ? 1 : header.bitDepth / 8;
  return sampleBytes * ChannelCount(header.colourType);
}

uint64_t RowBytes(const PngHeader& header, uint64_t columns) {
  return (columns * header.bitDepth + 7) / 8 * ChannelCount(header.colourType) + 1;
}

std::optional<std::vector<PassLayout>> LayOutPasses(const PngHeader& header) {
  const uint64_t width = header.width;
  const uint64_t height = header.height;
  // With at most 2^28 pixels every size below stays far inside 64 bits.
  if (width * height > kMaxPixels) return std::nullopt;
  std::vector<PassLayout> passes;
  if (header.interlaceMethod == 0) {
    passes.push_back({0, 0, 1, 1, header.width, header.height, RowBytes(header, width)});
    return passes;
  }
  for (const Placement& p : kAdam7) {
    if (p.firstColumn >= width) continue;
    const uint64_t columns = (width + p.columnStep - p.firstColumn - 1) / p.columnStep;
    const uint64_t rows = (height + p.rowStep - p.firstRow - 1) / p.rowStep;
    if (rows == 0) continue;
    passes.push_back({p.firstColumn, p.firstRow, p.columnStep, p.rowStep, uint32_t(columns),
                      uint32_t(rows), RowBytes(header, columns)});
  }
  return passes;
}

uint64_t ExpectedDataSize(const std::vector<PassLayout>& passes) {
  uint64_t total = 0;
  for (const PassLayout& pass : passes) total += uint64_t{pass.rows} * pass.rowBytes;
  return total;
}

}  // namespace fenwhit::png
