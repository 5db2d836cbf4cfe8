#include "image/png_unfilter.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
  size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time; the compiler will not, as the rows share one buffer.
  for (; i + 16 <= length; i += 16) {
    const __m128i sum =
        _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(previous + i)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), sum);
  }
#endif
  for (; i < length; ++i) row[i] = uint8_t(row[i] + previous[i]);
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

#if defined(__SSE2__)
// Whole pixels of 2 to 8 bytes at a time: the bytes of one pixel are independent of each other,
// so only the chain from pixel to pixel stays serial. Rows of these depths are always a whole
// number of pixels long.
// Pixels go through general registers in whole words: assembling them in memory byte by byte
// would stall every load on the stores before it.
template <size_t Bpp>
uint64_t LoadBits(const uint8_t* p) {
  uint64_t bits = 0;
  if constexpr (Bpp == 3 || Bpp == 6) {
    uint32_t low = 0;
    uint16_t high = 0;
    std::memcpy(&low, p, Bpp - 2);
    std::memcpy(&high, p + Bpp - 2, 2);
    bits = low | (uint64_t{high} << (8 * (Bpp - 2)));
  } else {
    std::memcpy(&bits, p, Bpp);
  }
  return bits;
}

template <size_t Bpp>
void StoreBits(uint8_t* p, uint64_t bits) {
  if constexpr (Bpp == 3 || Bpp == 6) {
    const uint32_t low = uint32_t(bits);
    const uint16_t high = uint16_t(bits >> (8 * (Bpp - 2)));
    std::memcpy(p, &low, Bpp - 2);
    std::memcpy(p + Bpp - 2, &high, 2);
  } else {
    std::memcpy(p, &bits, Bpp);
  }
}

template <size_t Bpp>
__m128i LoadPixel(const uint8_t* p) {
  return _mm_cvtsi64_si128(int64_t(LoadBits<Bpp>(p)));
}

template <size_t Bpp>
void StorePixel(uint8_t* p, __m128i pixel) {
  StoreBits<Bpp>(p, uint64_t(_mm_cvtsi128_si64(pixel)));
}

inline __m128i Abs16(__m128i v) {
  return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

// mask ? ifSet : ifClear, lane by lane.
inline __m128i Select(__m128i mask, __m128i ifSet, __m128i ifClear) {
  return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

template <size_t Bpp>
void UndoSubWide(uint8_t* row, size_t length) {
  __m128i left = _mm_setzero_si128();
  for (size_t i = 0; i + Bpp <= length; i += Bpp) {
    left = _mm_add_epi8(LoadPixel<Bpp>(row + i), left);
    StorePixel<Bpp>(row + i, left);
  }
}

template <size_t Bpp>
void UndoAverageWide(uint8_t* row, const uint8_t* previous, size_t length) {
  const __m128i one = _mm_set1_epi8(1);
  __m128i left = _mm_setzero_si128();
  for (size_t i = 0; i + Bpp <= length; i += Bpp) {
    const __m128i above = LoadPixel<Bpp>(previous + i);
    // The byte average rounds up; take the lost low bit back off to round down.
    const __m128i average =
        _mm_sub_epi8(_mm_avg_epu8(left, above), _mm_and_si128(_mm_xor_si128(left, above), one));
    left = _mm_add_epi8(LoadPixel<Bpp>(row + i), average);
    StorePixel<Bpp>(row + i, left);
  }
}

// One Paeth step on 16-bit lanes: left, above and upperLeft are reconstructed bytes, raw the
// filtered ones; returns the reconstructed bytes. Written so that the chain from left to the
// result, which the next pixel waits for, stays short: everything from above and upperLeft alone
// can start before left is known.
inline __m128i PaethStep(__m128i left, __m128i above, __m128i upperLeft, __m128i raw) {
  const __m128i fromAbove = _mm_sub_epi16(above, upperLeft);
  const __m128i fromLeft = _mm_sub_epi16(left, upperLeft);
  const __m128i distanceA = Abs16(fromAbove);
  const __m128i distanceB = Abs16(fromLeft);
  const __m128i distanceC = Abs16(_mm_add_epi16(fromAbove, fromLeft));
  const __m128i notA =
      _mm_or_si128(_mm_cmpgt_epi16(distanceA, distanceB), _mm_cmpgt_epi16(distanceA, distanceC));
  const __m128i bOrC = Select(_mm_cmpgt_epi16(distanceB, distanceC), upperLeft, above);
  const __m128i predictor = Select(notA, bOrC, left);
  return _mm_and_si128(_mm_add_epi16(raw, predictor), _mm_set1_epi16(0xff));
}

template <size_t Bpp>
__m128i LoadWide(const uint8_t* p) {
  return _mm_unpacklo_epi8(LoadPixel<Bpp>(p), _mm_setzero_si128());
}

template <size_t Bpp>
void UndoPaethWide(uint8_t* row, const uint8_t* previous, size_t length) {
  __m128i left = _mm_setzero_si128();
  __m128i upperLeft = left;
  for (size_t i = 0; i + Bpp <= length; i += Bpp) {
    const __m128i above = LoadWide<Bpp>(previous + i);
    left = PaethStep(left, above, upperLeft, LoadWide<Bpp>(row + i));
    StorePixel<Bpp>(row + i, _mm_packus_epi16(left, left));
    upperLeft = above;
  }
}

// Two Paeth rows at once for pixels of up to four bytes, each in one half of the registers.
// Every step waits for the one before, so a single row leaves most of the processor idle; the
// second row trails the first by one pixel, which makes the pixels it needs from the first row
// the ones just finished.
template <size_t Bpp>
void UndoPaethPairWide(uint8_t* first, uint8_t* second, const uint8_t* previous, size_t length) {
  static_assert(Bpp <= 4);
  const size_t pixels = length / Bpp;
  const __m128i zero = _mm_setzero_si128();
  // Low half: pixel k of the first row. High half: pixel k - 1 of the second.
  __m128i left = zero;
  __m128i upperLeft = zero;
  const auto store = [&](size_t k, __m128i pixel) {
    const uint64_t bits = uint64_t(_mm_cvtsi128_si64(_mm_packus_epi16(pixel, pixel)));
    if (k < pixels) StoreBits<Bpp>(first + k * Bpp, bits);
    if (k > 0) StoreBits<Bpp>(second + (k - 1) * Bpp, bits >> 32);
  };
  // The second row has no pixel -1: with all of its inputs zero its half stays zero, which is
  // what its first pixel must see on the left.
  __m128i above = _mm_unpacklo_epi64(LoadWide<Bpp>(previous), zero);
  left = PaethStep(left, above, upperLeft, _mm_unpacklo_epi64(LoadWide<Bpp>(first), zero));
  store(0, left);
  upperLeft = above;
  for (size_t k = 1; k < pixels; ++k) {
    above = _mm_unpacklo_epi64(LoadWide<Bpp>(previous + k * Bpp), left);
    const __m128i raw =
        _mm_unpacklo_epi64(LoadWide<Bpp>(first + k * Bpp), LoadWide<Bpp>(second + (k - 1) * Bpp));
    left = PaethStep(left, above, upperLeft, raw);
    store(k, left);
    upperLeft = above;
  }
  // The first row has no pixel `pixels`; its half computes nothing that is kept.
  above = _mm_unpacklo_epi64(zero, left);
  left = PaethStep(left, above, upperLeft,
                   _mm_unpacklo_epi64(zero, LoadWide<Bpp>(second + (pixels - 1) * Bpp)));
  store(pixels, left);
}
#endif

template <size_t Bpp>
bool Unfilter(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t length) {
#if defined(__SSE2__)
  constexpr bool kWide = Bpp > 1;
#else
  constexpr bool kWide = false;
#endif
  switch (filterType) {
    case kNone:
      return true;
    case kSub:
      if constexpr (kWide) {
        UndoSubWide<Bpp>(row, length);
      } else {
        UndoSub<Bpp>(row, length);
      }
      return true;
    case kUp:
      UndoUp(row, previous, length);
      return true;
    case kAverage:
      if constexpr (kWide) {
        UndoAverageWide<Bpp>(row, previous, length);
      } else {
        UndoAverage<Bpp>(row, previous, length);
      }
      return true;
    case kPaeth:
      if constexpr (kWide) {
        UndoPaethWide<Bpp>(row, previous, length);
      } else {
        UndoPaeth<Bpp>(row, previous, length);
      }
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

bool CanUnfilterPair(uint8_t firstType, uint8_t secondType, size_t bytesPerPixel) {
#if defined(__SSE2__)
  return firstType == kPaeth && secondType == kPaeth && (bytesPerPixel == 3 || bytesPerPixel == 4);
#else
  (void)firstType;
  (void)secondType;
  (void)bytesPerPixel;
  return false;
#endif
}

void UnfilterRowPair(uint8_t* first, uint8_t* second, const uint8_t* previous, size_t length,
                     size_t bytesPerPixel) {
#if defined(__SSE2__)
  if (bytesPerPixel == 3) {
    UndoPaethPairWide<3>(first, second, previous, length);
  } else {
    UndoPaethPairWide<4>(first, second, previous, length);
  }
#else
  (void)first;
  (void)second;
  (void)previous;
  (void)length;
  (void)bytesPerPixel;
#endif
}

}  // namespace fenwhit::png
