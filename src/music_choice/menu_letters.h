#pragma once
// Text from a song's tags or name as the menu's font can draw it: capitals, the accented
// letters it has, and a "?" for a run of anything it has not.
#include <cstddef>
#include <string>
#include <string_view>

namespace fenwhit {

// utf8 may be anything at all (tags are untrusted); at most maxLetters come out, the last
// three of them "..." when it had to be cut.
std::string MenuLetters(std::string_view utf8, size_t maxLetters);

}  // namespace fenwhit
