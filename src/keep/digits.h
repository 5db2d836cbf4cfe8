#pragma once
// Numbers in the files the game keeps: plain decimal digits only, no sign, no spaces,
// and no room for overflow.
#include <algorithm>
#include <charconv>
#include <string_view>
#include <system_error>

namespace fenwhit {

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

template <typename Number>
bool ParseDigits(std::string_view text, Number& value) {
  if (text.empty() || !std::all_of(text.begin(), text.end(), IsDigit)) return false;
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
  return failure == std::errc() && end == text.data() + text.size();
}

}  // namespace fenwhit
