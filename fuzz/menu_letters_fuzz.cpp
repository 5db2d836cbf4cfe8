// Feeds arbitrary bytes (as a song's tags may hold) to the letters the menu draws: what comes
// out is within its bound, holds only glyphs the font has, and breaks into lines that fit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ui/menu_letters.h"
#include "music_choice/music_choice_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the bound, the rest is the text.
  const size_t bound = data[0] % 80;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string letters = fenwhit::MenuLetters(text, bound);
  if (letters.size() > bound) std::abort();
  for (const char c : letters) {
    const auto glyph = static_cast<unsigned char>(c);
    const bool drawn = (glyph >= 0x20 && glyph < 0x7F && c != '(' && c != ')') || glyph >= 0xA1;
    const bool small = (c >= 'a' && c <= 'z') || (glyph >= 0xE0 && glyph != 0xF7);
    if (!drawn || small) std::abort();
  }
  const size_t width = bound / 4 + 1;
  for (const std::string& piece : fenwhit::WrapMenuLine(letters, width, 3)) {
    if (piece.size() > width) std::abort();
  }
  return 0;
}
