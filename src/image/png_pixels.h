#pragma once
// Turning unfiltered scanlines of any colour type and depth into 0xAARRGGBB pixels.
#include <array>

#include "image/png_format.h"

namespace fenwhit::png {

class PixelConverter {
 public:
  PixelConverter(const PngHeader& header, const Palette& palette, const Transparency& transparency);

  // Converts the first `count` pixels of an unfiltered row (filter byte excluded) into
  // out[0], out[step], out[2 * step], ...
  void ConvertRow(const uint8_t* samples, uint32_t count, uint32_t* out, size_t step) const;

 private:
  template <bool kContiguous>
  void Convert(const uint8_t* samples, uint32_t count, uint32_t* out, size_t step) const;

  uint8_t colourType_;
  uint8_t bitDepth_;
  Transparency transparency_;
  // Finished pixels for every palette index, or for every grey sample of 8 bits or fewer.
  std::array<uint32_t, 256> lookup_{};
};

}  // namespace fenwhit::png
