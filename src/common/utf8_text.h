#pragma once
// Text from files that is shown to the player or printed: UTF-8 that holds no control
// character, so that nothing read from disk can move a terminal's cursor or draw garbage.
#include <cstddef>
#include <string_view>

namespace fenwhit {

// The bytes of the character at `at` when it is well-formed UTF-8 (shortest form, no
// surrogate, at most U+10FFFF) and not a control character (C0, DEL, C1); else 0.
size_t ShownCharacterBytes(std::string_view text, size_t at);

// True when the whole text is such characters.
bool IsShownUtf8(std::string_view text);

}  // namespace fenwhit
