#pragma once
// The game's icon, built into the program so the window has it wherever the game runs.
#include <cstdint>
#include <span>

namespace fenwhit {

// The bytes of a PNG file.
std::span<const uint8_t> WindowIconPng();

}  // namespace fenwhit
