#pragma once
// A wait as the player reads it: "10", "0.3".
#include <string>

namespace fenwhit {

inline std::string SecondsText(int ms) {
  if (ms % 1000 == 0) return std::to_string(ms / 1000);
  return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100);
}

}  // namespace fenwhit
