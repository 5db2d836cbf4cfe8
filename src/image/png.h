#pragma once
// Strict PNG decoder: every colour type, bit depth and interlace method, CRC-checked.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fenwhit {

// Pixels row by row, top row first, each 0xAARRGGBB (bytes blue, green, red, alpha in memory).
struct Image {
  int32_t width;
  int32_t height;
  std::vector<uint32_t> pixels;
};

std::optional<Image> DecodePng(const std::string& fileName);
std::optional<Image> DecodePngBuffer(const uint8_t* data, size_t size);

}  // namespace fenwhit
