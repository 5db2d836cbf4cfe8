#pragma once
// Undoing the five scanline filters in place.
#include <cstddef>
#include <cstdint>

namespace fenwhit::png {

// previous is the already reconstructed row above in the same pass (all zeros for its first
// row); both hold `length` bytes after the filter-type byte. False for an unknown filter type.
bool UnfilterRow(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t length,
                 size_t bytesPerPixel);

// Whether two consecutive rows of one pass with these filter types can go to UnfilterRowPair,
// which is faster than two calls of UnfilterRow.
bool CanUnfilterPair(uint8_t firstType, uint8_t secondType, size_t bytesPerPixel);

// Undoes both rows in place: previous is the row above first, and first the row above second.
void UnfilterRowPair(uint8_t* first, uint8_t* second, const uint8_t* previous, size_t length,
                     size_t bytesPerPixel);

}  // namespace fenwhit::png
