#include "options/options_layout.h"

namespace fenwhit::options_layout {

PicturePoint MouseInPicture(const MouseState& mouse, PixelSize drawable, int32_t width,
                            int32_t height) {
  if (drawable.width <= 0 || drawable.height <= 0) drawable = {width, height};
  const PixelRect shown = Letterbox(width, height, drawable.width, drawable.height);
  if (shown.width <= 0 || shown.height <= 0) return {mouse.x, mouse.y};
  // Wide products: a window may be thousands of pixels across.
  const auto across = static_cast<int64_t>(mouse.x - shown.x) * width / shown.width;
  const auto down = static_cast<int64_t>(mouse.y - shown.y) * height / shown.height;
  return {static_cast<int32_t>(across), static_cast<int32_t>(down)};
}

}  // namespace fenwhit::options_layout
