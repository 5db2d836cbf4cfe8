#include "image/png_reconstruct.h"

#include <algorithm>

#include "image/png_unfilter.h"

namespace fenwhit::png {

std::optional<Image> Reconstruct(const PngHeader& header, const std::vector<PassLayout>& passes,
                                 size_t bytesPerPixel, const PixelConverter& converter,
                                 uint8_t* scanlines) {
  Image image{int32_t(header.width), int32_t(header.height), {}};
  image.pixels.resize(size_t{header.width} * header.height);
  size_t widestRow = 0;
  for (const PassLayout& pass : passes) widestRow = std::max(widestRow, pass.rowBytes);
  const std::vector<uint8_t> zeroRow(widestRow);

  uint8_t* row = scanlines;
  for (const PassLayout& pass : passes) {
    const size_t length = pass.rowBytes - 1;
    const uint8_t* previous = zeroRow.data();
    const auto convert = [&](uint32_t r, const uint8_t* samples) {
      const size_t y = pass.firstRow + size_t{r} * pass.rowStep;
      uint32_t* out = image.pixels.data() + y * header.width + pass.firstColumn;
      converter.ConvertRow(samples, pass.columns, out, pass.columnStep);
    };
    // Each row is converted right after it is unfiltered, while it is still in the cache.
    for (uint32_t r = 0; r < pass.rows;) {
      uint8_t* samples = row + 1;
      uint8_t* next = row + pass.rowBytes;
      if (r + 1 < pass.rows && CanUnfilterPair(row[0], next[0], bytesPerPixel)) {
        UnfilterRowPair(samples, next + 1, previous, length, bytesPerPixel);
        convert(r, samples);
        convert(r + 1, next + 1);
        previous = next + 1;
        row = next + pass.rowBytes;
        r += 2;
        continue;
      }
      if (!UnfilterRow(row[0], samples, previous, length, bytesPerPixel)) return std::nullopt;
      convert(r, samples);
      previous = samples;
      row = next;
      ++r;
    }
  }
  return image;
}

}  // namespace fenwhit::png
