#include "common/utf8_text.h"

#include <cstdint>

namespace fenwhit {

namespace {

bool IsContinuation(uint8_t byte) {
  return (byte & 0xc0) == 0x80;
}

}  // namespace

size_t ShownCharacterBytes(std::string_view text, size_t at) {
  if (at >= text.size()) return 0;
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[at + i]); };
  const uint8_t lead = byte(0);
  if (lead < 0x80) return lead >= 0x20 && lead != 0x7f ? 1 : 0;
  size_t length = 0;
  // The range the second byte must lie in keeps out overlong forms, surrogates and
  // code points past U+10FFFF; C2 80..C2 9F are the C1 controls.
  uint8_t low = 0x80;
  uint8_t high = 0xbf;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
    if (lead == 0xc2) low = 0xa0;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    if (lead == 0xe0) low = 0xa0;
    if (lead == 0xed) high = 0x9f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (!IsContinuation(byte(i))) return 0;
  }
  return length;
}

bool IsShownUtf8(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    const size_t length = ShownCharacterBytes(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

}  // namespace fenwhit
