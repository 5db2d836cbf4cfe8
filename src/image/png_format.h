#pragma once
// Internal records of the PNG decoder: chunks, header, palette and transparency.
#include <array>
#include <cstddef>
#include <cstdint>

namespace fenwhit::png {

inline uint32_t ReadBigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

inline uint16_t ReadBigEndian16(const uint8_t* p) {
  return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

// One chunk of the file; data points into the caller's file buffer.
struct PngChunk {
  uint32_t length;
  std::array<uint8_t, 4> type;
  const uint8_t* data;
  uint32_t crc;

  bool Is(const char (&name)[5]) const {
    return type[0] == uint8_t(name[0]) && type[1] == uint8_t(name[1]) &&
           type[2] == uint8_t(name[2]) && type[3] == uint8_t(name[3]);
  }
};

enum ColourType : uint8_t {
  kGrey = 0,
  kRgb = 2,
  kPalette = 3,
  kGreyAlpha = 4,
  kRgba = 6,
};

struct PngHeader {
  uint32_t width;
  uint32_t height;
  uint8_t bitDepth;
  uint8_t colourType;
  uint8_t compressionMethod;
  uint8_t filterMethod;
  uint8_t interlaceMethod;
};

// Entries beyond those the file supplies stay black.
struct Palette {
  std::array<uint8_t, 256 * 3> rgb{};
  uint32_t entryCount = 0;
};

struct Transparency {
  Transparency() { alpha.fill(255); }
  bool present = false;
  std::array<uint8_t, 256> alpha;
  uint16_t greyKey = 0;
  uint16_t redKey = 0;
  uint16_t greenKey = 0;
  uint16_t blueKey = 0;
};

}  // namespace fenwhit::png
