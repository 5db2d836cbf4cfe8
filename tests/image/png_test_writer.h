#pragma once
// A tiny PNG writer for building test files chunk by chunk, including broken ones.
#include <zlib.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace fenwhit::testing {

using Bytes = std::vector<uint8_t>;

inline void PutBigEndian32(Bytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

inline Bytes Deflate(const Bytes& raw) {
  uLongf size = compressBound(raw.size());
  Bytes packed(size);
  compress2(packed.data(), &size, raw.data(), raw.size(), Z_BEST_COMPRESSION);
  packed.resize(size);
  return packed;
}

inline Bytes HeaderData(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType,
                        uint8_t interlace = 0) {
  Bytes data;
  PutBigEndian32(data, width);
  PutBigEndian32(data, height);
  data.insert(data.end(), {depth, colourType, 0, 0, interlace});
  return data;
}

// Unfiltered rows (filter byte 0 in front of each), given the packed bytes of every row.
inline Bytes Scanlines(const std::vector<Bytes>& rows, uint8_t filterType = 0) {
  Bytes out;
  for (const Bytes& row : rows) {
    out.push_back(filterType);
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

class PngBuilder {
 public:
  PngBuilder() : bytes_{137, 80, 78, 71, 13, 10, 26, 10} {}

  PngBuilder& Chunk(std::string_view type, const Bytes& data) {
    chunkStarts_.push_back(bytes_.size());
    PutBigEndian32(bytes_, uint32_t(data.size()));
    const size_t typeStart = bytes_.size();
    bytes_.insert(bytes_.end(), type.begin(), type.end());
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    uLong crc = crc32(0, bytes_.data() + typeStart, uInt(bytes_.size() - typeStart));
    PutBigEndian32(bytes_, uint32_t(crc));
    return *this;
  }

  PngBuilder& Header(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType,
                     uint8_t interlace = 0) {
    return Chunk("IHDR", HeaderData(width, height, depth, colourType, interlace));
  }
  PngBuilder& Data(const Bytes& scanlines) { return Chunk("IDAT", Deflate(scanlines)); }
  PngBuilder& End() { return Chunk("IEND", {}); }
  PngBuilder& Raw(const Bytes& tail) {
    bytes_.insert(bytes_.end(), tail.begin(), tail.end());
    return *this;
  }

  const Bytes& bytes() const { return bytes_; }
  // Offset of the stored CRC of the n-th chunk written.
  size_t CrcOffset(size_t n) const {
    const size_t start = chunkStarts_[n];
    const uint32_t length = (uint32_t{bytes_[start]} << 24) | (uint32_t{bytes_[start + 1]} << 16) |
                            (uint32_t{bytes_[start + 2]} << 8) | bytes_[start + 3];
    return start + 8 + length;
  }
  size_t ChunkCount() const { return chunkStarts_.size(); }

 private:
  Bytes bytes_;
  std::vector<size_t> chunkStarts_;
};

// Splits an image of 8-bit samples (bytesPerPixel each) into its seven interlaced sub-images,
// unfiltered, ready for PngBuilder::Data.
inline Bytes Adam7Scanlines(const Bytes& pixels, uint32_t width, uint32_t height,
                            uint32_t bytesPerPixel) {
  static constexpr uint32_t kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                             {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  Bytes out;
  for (const auto& pass : kPasses) {
    if (pass[0] >= width) continue;
    for (uint32_t y = pass[1]; y < height; y += pass[3]) {
      out.push_back(0);
      for (uint32_t x = pass[0]; x < width; x += pass[2]) {
        const size_t at = (size_t{y} * width + x) * bytesPerPixel;
        out.insert(out.end(), pixels.begin() + at, pixels.begin() + at + bytesPerPixel);
      }
    }
  }
  return out;
}

}  // namespace fenwhit::testing
