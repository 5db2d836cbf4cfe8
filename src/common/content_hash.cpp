#include "common/content_hash.h"

#include <cstdio>
#include <cstring>

namespace fenwhit {

namespace {

uint64_t Rotate(uint64_t x, int bits) {
  return (x << bits) | (x >> (64 - bits));
}

// The finaliser of splitmix64: every input bit reaches every output bit.
uint64_t Mix(uint64_t x) {
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
  return x ^ (x >> 31);
}

uint64_t LittleEndianWord(const uint8_t* bytes) {
  uint64_t word = 0;
  for (int i = 7; i >= 0; --i) word = (word << 8) | bytes[i];
  return word;
}

}  // namespace

void ContentHash::AddWord(uint64_t word) {
  lanes_[0] = Rotate(lanes_[0] ^ (word * 0x9e3779b97f4a7c15ull), 29) * 0xff51afd7ed558ccdull;
  lanes_[1] = Rotate(lanes_[1] + (word ^ 0xc4ceb9fe1a85ec53ull), 37) * 0x87c37b91114253d5ull;
}

void ContentHash::Add(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  length_ += size;
  while (size > 0 && (partialSize_ > 0 || size < 8)) {
    partial_[partialSize_++] = *bytes++;
    --size;
    if (partialSize_ == 8) {
      AddWord(LittleEndianWord(partial_));
      partialSize_ = 0;
    }
  }
  for (; size >= 8; size -= 8, bytes += 8) AddWord(LittleEndianWord(bytes));
  while (size > 0) {
    partial_[partialSize_++] = *bytes++;
    --size;
  }
}

std::string ContentHash::Hex() const {
  ContentHash last = *this;
  uint8_t tail[8] = {};
  std::memcpy(tail, partial_, partialSize_);
  last.AddWord(LittleEndianWord(tail));
  last.AddWord(length_);
  const uint64_t halves[2] = {Mix(last.lanes_[0] ^ Rotate(last.lanes_[1], 17)),
                              Mix(last.lanes_[1] + last.lanes_[0])};
  std::string hex;
  for (const uint64_t half : halves) {
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(half));
    hex += digits;
  }
  return hex;
}

bool IsContentHashHex(std::string_view text) {
  if (text.size() != 32) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

}  // namespace fenwhit
