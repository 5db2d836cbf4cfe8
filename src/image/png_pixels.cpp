#include "image/png_pixels.h"

#include <cstring>

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
        // Word loads take one byte of the next pixel along, so the last pixel goes bytewise.
        for (uint32_t i = 0; i + 1 < count; ++i) {
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
        for (uint32_t i = 0; i < count; ++i) {
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
