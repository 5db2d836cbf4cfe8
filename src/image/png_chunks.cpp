#include "image/png_chunks.h"

#include <libdeflate.h>

#include <algorithm>

namespace fenwhit::png {
namespace {

constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

const PngChunk* FindFirst(const std::vector<PngChunk>& chunks, const char (&name)[5]) {
  for (const PngChunk& chunk : chunks) {
    if (chunk.Is(name)) return &chunk;
  }
  return nullptr;
}

bool IsValidDepthForColour(uint8_t colourType, uint8_t depth) {
  switch (colourType) {
    case kGrey:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case kPalette:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case kRgb:
    case kGreyAlpha:
    case kRgba:
      return depth == 8 || depth == 16;
    default:
      return false;
  }
}

}  // namespace

bool HasSignature(const uint8_t* data, size_t size) {
  return size >= sizeof kSignature && std::equal(kSignature, kSignature + 8, data);
}

std::optional<std::vector<PngChunk>> ReadChunkList(const uint8_t* data, size_t size) {
  std::vector<PngChunk> chunks;
  size_t position = sizeof kSignature;
  while (position < size) {
    const size_t remaining = size - position;
    if (remaining < 8) return std::nullopt;
    const uint8_t* start = data + position;
    const uint32_t length = ReadBigEndian32(start);
    // Length, type and CRC around the data; 64-bit so a length near 2^32 cannot wrap.
    if (uint64_t{length} + 12 > remaining) return std::nullopt;
    PngChunk chunk;
    chunk.length = length;
    std::copy(start + 4, start + 8, chunk.type.begin());
    chunk.data = start + 8;
    chunk.crc = ReadBigEndian32(chunk.data + length);
    const uint32_t computed = libdeflate_crc32(0, start + 4, size_t{length} + 4);
    if (computed != chunk.crc) return std::nullopt;
    chunks.push_back(chunk);
    position += size_t{length} + 12;
  }
  if (chunks.size() < 3 || !chunks.back().Is("IEND")) return std::nullopt;
  return chunks;
}

std::optional<PngHeader> ReadHeader(const std::vector<PngChunk>& chunks) {
  const PngChunk& first = chunks.front();
  if (!first.Is("IHDR") || first.length != 13) return std::nullopt;
  const uint8_t* d = first.data;
  PngHeader header{ReadBigEndian32(d), ReadBigEndian32(d + 4), d[8], d[9], d[10], d[11], d[12]};
  if (header.width == 0 || header.height == 0) return std::nullopt;
  if (!IsValidDepthForColour(header.colourType, header.bitDepth)) return std::nullopt;
  if (header.compressionMethod != 0 || header.filterMethod != 0) return std::nullopt;
  if (header.interlaceMethod > 1) return std::nullopt;
  return header;
}

std::optional<Palette> ReadPalette(const std::vector<PngChunk>& chunks) {
  const PngChunk* chunk = FindFirst(chunks, "PLTE");
  if (chunk == nullptr) return std::nullopt;
  Palette palette;
  palette.entryCount = chunk->length / 3;
  if (palette.entryCount > 256) return std::nullopt;
  std::copy(chunk->data, chunk->data + palette.entryCount * 3, palette.rgb.begin());
  return palette;
}

std::optional<Transparency> ReadTransparency(const std::vector<PngChunk>& chunks,
                                             const PngHeader& header) {
  Transparency transparency;
  const PngChunk* chunk = FindFirst(chunks, "tRNS");
  if (chunk == nullptr) return transparency;
  transparency.present = true;
  const uint8_t* d = chunk->data;
  switch (header.colourType) {
    case kGrey:
      if (chunk->length != 2) return std::nullopt;
      transparency.greyKey = ReadBigEndian16(d);
      return transparency;
    case kRgb:
      if (chunk->length != 6) return std::nullopt;
      transparency.redKey = ReadBigEndian16(d);
      transparency.greenKey = ReadBigEndian16(d + 2);
      transparency.blueKey = ReadBigEndian16(d + 4);
      return transparency;
    case kPalette:
      if (chunk->length > 256) return std::nullopt;
      std::copy(d, d + chunk->length, transparency.alpha.begin());
      return transparency;
    default:
      // Images with an alpha channel must not carry tRNS as well.
      return std::nullopt;
  }
}

}  // namespace fenwhit::png
