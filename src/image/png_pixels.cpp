#include "image/png_pixels.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fenwhit::png {
namespace {

constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

constexpr uint32_t Grey(uint32_t a, uint32_t value) {
  return Argb(a, value, value, value);
}

inline uint16_t Sample16(const uint8_t* p) {
  return uint16_t((p[0] << 8) | p[1]);
}

// Samples of 1, 2 or 4 bits, most significant first; bits past `count` in the last byte are
// never looked at.
template <unsigned kDepth, bool kContiguous>
void ConvertPacked(const uint8_t* s, uint32_t count, uint32_t* out, size_t step,
                   const uint32_t* lookup) {
  constexpr unsigned kPerByte = 8 / kDepth;
  constexpr unsigned kMask = (1u << kDepth) - 1;
  for (uint32_t i = 0; i < count; ++i) {
    const unsigned shift = 8 - kDepth - (i % kPerByte) * kDepth;
    out[kContiguous ? i : i * step] = lookup[(s[i / kPerByte] >> shift) & kMask];
  }
}

#if defined(__SSE2__)
// Four pixels per step; each returns how many pixels it finished, the caller does the rest.

// r, g, b, a bytes to b, g, r, a: swapping the 16-bit halves of each pixel brings blue and red
// to each other's place.
uint32_t RgbaToBgra(const uint8_t* s, uint32_t count, uint32_t* out) {
  const __m128i greenAlpha = _mm_set1_epi32(int(0xff00ff00u));
  const __m128i blueRed = _mm_set1_epi32(0x00ff00ff);
  uint32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i rgba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * i));
    const __m128i halvesSwapped = _mm_shufflehi_epi16(_mm_shufflelo_epi16(rgba, 0xb1), 0xb1);
    const __m128i bgra =
        _mm_or_si128(_mm_and_si128(rgba, greenAlpha), _mm_and_si128(halvesSwapped, blueRed));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bgra);
  }
  return i;
}

// Each load takes 16 bytes for 12, so it stops while a whole load still fits in the row.
uint32_t RgbToBgra(const uint8_t* s, uint32_t count, uint32_t* out) {
  const __m128i lowPixel = _mm_set1_epi64x(0x0000000000ffffff);
  const __m128i highPixel = _mm_set1_epi64x(0x00ffffff00000000);
  const __m128i green = _mm_set1_epi32(0x0000ff00);
  const __m128i blueRed = _mm_set1_epi32(0x00ff00ff);
  const __m128i opaque = _mm_set1_epi32(int(0xff000000u));
  uint32_t i = 0;
  for (; 3 * size_t{i} + 16 <= 3 * size_t{count}; i += 4) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * i));
    // Pixels 0 and 1 in the low eight bytes, 2 and 3 in the high eight, then each pixel in a
    // 32-bit lane of its own: the second of a pair moves up one byte.
    const __m128i pairs = _mm_unpacklo_epi64(bytes, _mm_srli_si128(bytes, 6));
    const __m128i rgb0 = _mm_or_si128(_mm_and_si128(pairs, lowPixel),
                                      _mm_and_si128(_mm_slli_epi64(pairs, 8), highPixel));
    const __m128i halvesSwapped = _mm_shufflehi_epi16(_mm_shufflelo_epi16(rgb0, 0xb1), 0xb1);
    const __m128i bgra = _mm_or_si128(
        _mm_or_si128(_mm_and_si128(rgb0, green), _mm_and_si128(halvesSwapped, blueRed)), opaque);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bgra);
  }
  return i;
}
#else
uint32_t RgbaToBgra(const uint8_t*, uint32_t, uint32_t*) {
  return 0;
}
uint32_t RgbToBgra(const uint8_t*, uint32_t, uint32_t*) {
  return 0;
}
#endif

}  // namespace

PixelConverter::PixelConverter(const PngHeader& header, const Palette& palette,
                               const Transparency& transparency)
    : colourType_(header.colourType), bitDepth_(header.bitDepth), transparency_(transparency) {
  if (colourType_ == kPalette) {
    for (uint32_t i = 0; i < 256; ++i) {
      const uint32_t alpha = transparency.present ? transparency.alpha[i] : 255;
      lookup_[i] = Argb(alpha, palette.rgb[3 * i], palette.rgb[3 * i + 1], palette.rgb[3 * i + 2]);
    }
  } else if (colourType_ == kGrey && bitDepth_ <= 8) {
    const uint32_t maxSample = (1u << bitDepth_) - 1;
    const uint32_t factor = 255 / maxSample;
    for (uint32_t sample = 0; sample <= maxSample; ++sample) {
      const bool keyed = transparency.present && sample == transparency.greyKey;
      lookup_[sample] = Grey(keyed ? 0 : 255, sample * factor);
    }
  }
}

void PixelConverter::ConvertRow(const uint8_t* samples, uint32_t count, uint32_t* out,
                                size_t step) const {
  if (step == 1) {
    Convert<true>(samples, count, out, 1);
  } else {
    Convert<false>(samples, count, out, step);
  }
}

template <bool kContiguous>
void PixelConverter::Convert(const uint8_t* s, uint32_t count, uint32_t* out, size_t step) const {
  const auto at = [step](uint32_t i) -> size_t { return kContiguous ? i : i * step; };
  const Transparency& t = transparency_;
  if (colourType_ == kGrey || colourType_ == kPalette) {
    switch (bitDepth_) {
      case 1:
        return ConvertPacked<1, kContiguous>(s, count, out, step, lookup_.data());
      case 2:
        return ConvertPacked<2, kContiguous>(s, count, out, step, lookup_.data());
      case 4:
        return ConvertPacked<4, kContiguous>(s, count, out, step, lookup_.data());
      case 8:
        for (uint32_t i = 0; i < count; ++i) out[at(i)] = lookup_[s[i]];
        return;
      default:  // 16-bit grey: the high byte, keyed on the whole sample
        for (uint32_t i = 0; i < count; ++i) {
          const uint8_t* p = s + 2 * i;
          const bool keyed = t.present && Sample16(p) == t.greyKey;
          out[at(i)] = Grey(keyed ? 0 : 255, p[0]);
        }
        return;
    }
  }
  const bool wide = bitDepth_ == 16;
  switch (colourType_) {
    case kGreyAlpha:
      if (wide) {
        for (uint32_t i = 0; i < count; ++i) out[at(i)] = Grey(s[4 * i + 2], s[4 * i]);
      } else {
        for (uint32_t i = 0; i < count; ++i) out[at(i)] = Grey(s[2 * i + 1], s[2 * i]);
      }
      return;
    case kRgb:
      if (wide) {
        for (uint32_t i = 0; i < count; ++i) {
          const uint8_t* p = s + 6 * i;
          const bool keyed = t.present && Sample16(p) == t.redKey &&
                             Sample16(p + 2) == t.greenKey && Sample16(p + 4) == t.blueKey;
          out[at(i)] = Argb(keyed ? 0 : 255, p[0], p[2], p[4]);
        }
      } else if (t.present) {
        for (uint32_t i = 0; i < count; ++i) {
          const uint8_t* p = s + 3 * i;
          const bool keyed = p[0] == t.redKey && p[1] == t.greenKey && p[2] == t.blueKey;
          out[at(i)] = Argb(keyed ? 0 : 255, p[0], p[1], p[2]);
        }
      } else if (count > 0) {
        const uint32_t done = kContiguous ? RgbToBgra(s, count, out) : 0;
        // Word loads take one byte of the next pixel along, so the last pixel goes bytewise.
        for (uint32_t i = done; i + 1 < count; ++i) {
          uint32_t rgbx;
          std::memcpy(&rgbx, s + 3 * i, 4);
          out[at(i)] =
              0xff000000u | (rgbx & 0xff00u) | ((rgbx >> 16) & 0xffu) | ((rgbx & 0xffu) << 16);
        }
        const uint8_t* p = s + 3 * (count - 1);
        out[at(count - 1)] = Argb(255, p[0], p[1], p[2]);
      }
      return;
    default:  // RGBA
      if (wide) {
        for (uint32_t i = 0; i < count; ++i) {
          const uint8_t* p = s + 8 * i;
          out[at(i)] = Argb(p[6], p[0], p[2], p[4]);
        }
      } else {
        const uint32_t done = kContiguous ? RgbaToBgra(s, count, out) : 0;
        for (uint32_t i = done; i < count; ++i) {
          // Bytes r, g, b, a read as one little-endian word: only red and blue swap places.
          uint32_t rgba;
          std::memcpy(&rgba, s + 4 * i, 4);
          out[at(i)] = (rgba & 0xff00ff00u) | ((rgba >> 16) & 0xffu) | ((rgba & 0xffu) << 16);
        }
      }
      return;
  }
}

}  // namespace fenwhit::png
