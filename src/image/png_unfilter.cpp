#include "image/png_unfilter.h"

#include <cstdlib>

namespace fenwhit::png {
namespace {

enum FilterType : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

inline uint8_t PaethPredictor(int a, int b, int c) {
  const int distanceA = std::abs(b - c);
  const int distanceB = std::abs(a - c);
  const int distanceC = std::abs(a + b - 2 * c);
  if (distanceA <= distanceB && distanceA <= distanceC) return uint8_t(a);
  return uint8_t(distanceB <= distanceC ? b : c);
}

void UndoUp(uint8_t* row, const uint8_t* previous, size_t length) {
  for (size_t i = 0; i < length; ++i) row[i] = uint8_t(row[i] + previous[i]);
}

// The pixel distance is a template argument so that each loop is specialised for it.
template <size_t Bpp>
void UndoSub(uint8_t* row, size_t length) {
  for (size_t i = Bpp; i < length; ++i) row[i] = uint8_t(row[i] + row[i - Bpp]);
}

template <size_t Bpp>
void UndoAverage(uint8_t* row, const uint8_t* previous, size_t length) {
  const size_t head = length < Bpp ? length : Bpp;
  for (size_t i = 0; i < head; ++i) row[i] = uint8_t(row[i] + (previous[i] >> 1));
  for (size_t i = Bpp; i < length; ++i) {
    row[i] = uint8_t(row[i] + ((row[i - Bpp] + previous[i]) >> 1));
  }
}

template <size_t Bpp>
void UndoPaeth(uint8_t* row, const uint8_t* previous, size_t length) {
  // Left and upper-left are zero for the first pixel, which makes the predictor the byte above.
  const size_t head = length < Bpp ? length : Bpp;
  for (size_t i = 0; i < head; ++i) row[i] = uint8_t(row[i] + previous[i]);
  for (size_t i = Bpp; i < length; ++i) {
    row[i] = uint8_t(row[i] + PaethPredictor(row[i - Bpp], previous[i], previous[i - Bpp]));
  }
}

template <size_t Bpp>
bool Unfilter(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t length) {
  switch (filterType) {
    case kNone:
      return true;
    case kSub:
      UndoSub<Bpp>(row, length);
      return true;
    case kUp:
      UndoUp(row, previous, length);
      return true;
    case kAverage:
      UndoAverage<Bpp>(row, previous, length);
      return true;
    case kPaeth:
      UndoPaeth<Bpp>(row, previous, length);
      return true;
    default:
      return false;
  }
}

}  // namespace

bool UnfilterRow(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t length,
                 size_t bytesPerPixel) {
  switch (bytesPerPixel) {
    case 1:
      return Unfilter<1>(filterType, row, previous, length);
    case 2:
      return Unfilter<2>(filterType, row, previous, length);
    case 3:
      return Unfilter<3>(filterType, row, previous, length);
    case 4:
      return Unfilter<4>(filterType, row, previous, length);
    case 6:
      return Unfilter<6>(filterType, row, previous, length);
    case 8:
      return Unfilter<8>(filterType, row, previous, length);
    default:
      return false;  // no valid header gives another distance
  }
}

}  // namespace fenwhit::png
