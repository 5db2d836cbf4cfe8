#include "image/png.h"

#include <new>
#include <stdexcept>

#include "image/png_chunks.h"
#include "image/png_inflate.h"
#include "image/png_layout.h"
#include "image/png_pixels.h"
#include "image/png_reconstruct.h"
#include "platform/file_bytes.h"

namespace fenwhit {
namespace {

std::optional<Image> Decode(const uint8_t* data, size_t size) {
  using namespace png;
  if (data == nullptr || size < kMinimumFileSize || !HasSignature(data, size)) return std::nullopt;
  const std::optional<std::vector<PngChunk>> chunks = ReadChunkList(data, size);
  if (!chunks) return std::nullopt;
  const std::optional<PngHeader> header = ReadHeader(*chunks);
  if (!header) return std::nullopt;

  const std::optional<std::vector<PassLayout>> passes = LayOutPasses(*header);
  if (!passes) return std::nullopt;
  const std::optional<Scanlines> scanlines = InflateImageData(*chunks, ExpectedDataSize(*passes));
  if (!scanlines) return std::nullopt;
  const size_t bytesPerPixel = BytesPerPixel(*header);

  Palette palette;
  if (header->colourType == kPalette) {
    const std::optional<Palette> read = ReadPalette(*chunks);
    if (!read) return std::nullopt;
    palette = *read;
  }
  const std::optional<Transparency> transparency = ReadTransparency(*chunks, *header);
  if (!transparency) return std::nullopt;

  const PixelConverter converter(*header, palette, *transparency);
  return Reconstruct(*header, *passes, bytesPerPixel, converter, scanlines->get());
}

}  // namespace

std::optional<Image> DecodePngBuffer(const uint8_t* data, size_t size) {
  try {
    return Decode(data, size);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
}

std::optional<Image> DecodePng(const std::string& fileName) {
  try {
    const std::optional<std::vector<uint8_t>> bytes = ReadRegularFile(fileName);
    if (!bytes) return std::nullopt;
    return Decode(bytes->data(), bytes->size());
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
}

}  // namespace fenwhit
