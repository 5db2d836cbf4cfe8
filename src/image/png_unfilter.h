#pragma once
// Undoing the five scanline filters in place.
#include <cstddef>
#include <cstdint>

namespace fenwhit::png {

// previous is the already reconstructed row above in the same pass (all zeros for its first
// row); both hold `length` bytes after the filter-type byte. False for an unknown filter type.
bool UnfilterRow(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t length,
                 size_t bytesPerPixel);

}  // namespace fenwhit::png
