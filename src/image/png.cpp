// Placeholder until the decoder lands: decodes nothing.
#include "image/png.h"

namespace fenwhit {

std::optional<Image> DecodePngBuffer(const uint8_t*, size_t) { return std::nullopt; }
std::optional<Image> DecodePng(const std::string&) { return std::nullopt; }

}  // namespace fenwhit
