#pragma once
// libpng as a reference decoder for the tests, asked for the same conversions as ours:
// 8-bit RGBA, 16-bit samples cut to their high byte, tRNS turned into alpha, no gamma.
#include <png.h>

#include <cstring>
#include <optional>
#include <vector>

#include "image/png.h"

namespace fenwhit::testing {

namespace oracle_detail {

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t position;
};

inline void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
  if (count > reader->size - reader->position) png_error(png, "read past end");
  std::memcpy(out, reader->data + reader->position, count);
  reader->position += count;
}

inline void IgnoreWarning(png_structp, png_const_charp) {}

// Fills `rgba` (width * height * 4 bytes); false when libpng refuses the file. Kept free of
// objects with destructors because libpng leaves through longjmp.
inline bool DecodeRgba(const uint8_t* data, size_t size, png_uint_32* width, png_uint_32* height,
                       std::vector<uint8_t>* rgba) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  png_bytep* volatile rows = nullptr;
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    delete[] rows;
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  Reader reader{data, size, 0};
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  *width = png_get_image_width(png, info);
  *height = png_get_image_height(png, info);
  rgba->resize(size_t{*width} * *height * 4);
  rows = new png_bytep[*height];
  for (png_uint_32 y = 0; y < *height; ++y) rows[y] = rgba->data() + size_t{y} * *width * 4;
  png_read_image(png, rows);
  delete[] rows;
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace oracle_detail

inline std::optional<Image> DecodeWithLibpng(const uint8_t* data, size_t size) {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  std::vector<uint8_t> rgba;
  if (!oracle_detail::DecodeRgba(data, size, &width, &height, &rgba)) return std::nullopt;
  Image image{int32_t(width), int32_t(height), PixelVector(size_t{width} * height)};
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    const uint8_t* p = rgba.data() + 4 * i;
    image.pixels[i] =
        (uint32_t{p[3]} << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  }
  return image;
}

}  // namespace fenwhit::testing
