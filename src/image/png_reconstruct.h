#pragma once
// Unfiltering the inflated scanlines pass by pass and placing their pixels in the image.
#include <optional>
#include <vector>

#include "image/png.h"
#include "image/png_layout.h"
#include "image/png_pixels.h"

namespace fenwhit::png {

// scanlines holds exactly the passes' rows and is unfiltered in place. None when a row has an
// unknown filter type.
std::optional<Image> Reconstruct(const PngHeader& header, const std::vector<PassLayout>& passes,
                                 size_t bytesPerPixel, const PixelConverter& converter,
                                 uint8_t* scanlines);

}  // namespace fenwhit::png
