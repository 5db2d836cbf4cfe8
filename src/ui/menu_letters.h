#pragma once
// Text (a song's tags or name, a typed address, a word from the network) as the menu's
// font can draw it: capitals, the accented letters it has, and a "?" for a run of anything
// it has not; and broken into lines.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fenwhit {

// utf8 may be anything at all (tags are untrusted); at most maxLetters come out, the last
// three of them "..." when it had to be cut.
std::string MenuLetters(std::string_view utf8, size_t maxLetters);

// A line broken at its spaces into pieces of at most `width` letters (a word longer than
// that is cut), at most maxPieces of them.
std::vector<std::string> WrapMenuLine(const std::string& line, size_t width, size_t maxPieces);

}  // namespace fenwhit
