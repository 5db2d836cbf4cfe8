#include "ui/menu_letters.h"

#include <cstdint>

namespace fenwhit {

namespace {

constexpr uint32_t kInvalid = 0xFFFFFFFF;

// The next code point, or kInvalid for a byte that starts no valid sequence (then only
// that byte is taken).
uint32_t NextCodePoint(std::string_view text, size_t& at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t first = byte(at++);
  if (first < 0x80) return first;
  int more = 0;
  uint32_t point = 0;
  if ((first & 0xE0) == 0xC0) {
    more = 1;
    point = first & 0x1F;
  } else if ((first & 0xF0) == 0xE0) {
    more = 2;
    point = first & 0x0F;
  } else if ((first & 0xF8) == 0xF0) {
    more = 3;
    point = first & 0x07;
  } else {
    return kInvalid;
  }
  if (at + more > text.size()) return kInvalid;
  for (int i = 0; i < more; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return kInvalid;
    point = (point << 6) | (byte(at + i) & 0x3F);
  }
  at += more;
  return point;
}

// The font's glyph for a code point, 0 for none. The font holds printable ASCII (its
// round brackets are pictures) and the Latin-1 letters and signs.
uint8_t Glyph(uint32_t point) {
  if (point == '(') return '[';
  if (point == ')') return ']';
  if (point >= 'a' && point <= 'z') return static_cast<uint8_t>(point - 'a' + 'A');
  if (point >= 0x20 && point < 0x7F) return static_cast<uint8_t>(point);
  if (point == 0xA0) return ' ';
  if (point == 0xFF) return 'Y';
  // Latin-1's small letters sit 0x20 above their capitals, but for the division sign.
  if (point >= 0xE0 && point <= 0xFE && point != 0xF7) return static_cast<uint8_t>(point - 0x20);
  if (point >= 0xA1 && point <= 0xFE) return static_cast<uint8_t>(point);
  return 0;
}

}  // namespace

std::string MenuLetters(std::string_view utf8, size_t maxLetters) {
  std::string letters;
  bool lastUnknown = false;
  for (size_t at = 0; at < utf8.size();) {
    const uint32_t point = NextCodePoint(utf8, at);
    if (point < 0x20 || point == 0x7F) continue;
    const uint8_t glyph = point == kInvalid ? 0 : Glyph(point);
    if (glyph == 0) {
      if (!lastUnknown) letters += '?';
      lastUnknown = true;
      continue;
    }
    lastUnknown = false;
    letters += static_cast<char>(glyph);
  }
  if (letters.size() > maxLetters) {
    letters.resize(maxLetters >= 3 ? maxLetters - 3 : 0);
    letters += std::string_view("...").substr(0, maxLetters);
  }
  return letters;
}

std::vector<std::string> WrapMenuLine(const std::string& line, size_t width, size_t maxPieces) {
  std::vector<std::string> pieces;
  if (width == 0) return pieces;
  std::string_view rest = line;
  while (!rest.empty() && pieces.size() < maxPieces) {
    if (rest.size() <= width) {
      pieces.emplace_back(rest);
      break;
    }
    const std::string_view room = rest.substr(0, width + 1);
    size_t cut = room.find_last_of(' ');
    // "TITLE - ARTIST" breaks before its dash rather than after.
    if (cut != std::string_view::npos && cut >= 2 && room.substr(cut - 2, 2) == " -") cut -= 2;
    if (cut == std::string_view::npos || cut == 0) cut = width;
    pieces.emplace_back(rest.substr(0, cut));
    rest.remove_prefix(cut);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  }
  return pieces;
}

}  // namespace fenwhit
