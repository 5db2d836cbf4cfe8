#pragma once
// Raw deflate of a block of bytes, for what is stored or sent compressed (replay bodies, a
// network game's start state).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fenwhit {

// Deflate cannot do better than 258 bytes for two bits, so a size claiming more than this
// per deflated byte is a lie, refused before room is made for it.
inline constexpr uint64_t kMaxDeflateRatio = 1032;

std::string DeflateBytes(std::string_view bytes);
// False unless `deflated` is one whole stream of exactly `size` bytes, written to `out`.
bool InflateExactly(std::string_view deflated, void* out, size_t size);

}  // namespace fenwhit
