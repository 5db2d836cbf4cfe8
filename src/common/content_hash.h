#pragma once
// A 128-bit hash of a file's whole content, to know a file again by what is in it
// whatever it is called. Not for security: anyone can make two files that collide.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fenwhit {

class ContentHash {
 public:
  // The bytes in order; any split into calls gives the same hash.
  void Add(const void* data, size_t size);
  // 32 lowercase hex digits over everything added and its length.
  std::string Hex() const;

 private:
  void AddWord(uint64_t word);

  uint64_t lanes_[2] = {0x6a09e667f3bcc908ull, 0xbb67ae8584caa73bull};
  uint64_t length_ = 0;
  uint8_t partial_[8] = {};
  size_t partialSize_ = 0;
};

// True for text shaped as Hex() makes it: 32 lowercase hex digits, nothing else.
bool IsContentHashHex(std::string_view text);

}  // namespace fenwhit
