#pragma once
// Strict PNG decoder: every colour type, bit depth and interlace method, CRC-checked.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fenwhit {

// Leaves elements added by resize() or a size constructor uninitialised, since the decoder
// writes every pixel anyway; filling a large picture with zeros first costs a pass over memory.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <typename U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}

  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

using PixelVector = std::vector<uint32_t, UninitialisedAllocator<uint32_t>>;

inline bool operator==(const PixelVector& a, const std::vector<uint32_t>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

// Pixels row by row, top row first, each 0xAARRGGBB (bytes blue, green, red, alpha in memory).
struct Image {
  int32_t width;
  int32_t height;
  PixelVector pixels;
};

std::optional<Image> DecodePng(const std::string& fileName);
std::optional<Image> DecodePngBuffer(const uint8_t* data, size_t size);

}  // namespace fenwhit
