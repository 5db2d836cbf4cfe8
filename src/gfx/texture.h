#pragma once
#include <cstdint>

namespace fenwhit {

// One uploaded picture. width and height are -1 when it was made from no image.
struct Texture {
  int32_t width = -1;
  int32_t height = -1;
  uint32_t name = 0;
};

}  // namespace fenwhit
