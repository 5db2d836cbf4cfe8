#pragma once
// Little-endian numbers, varints and length-prefixed text, written to and read from bytes
// that may come from anywhere: every read checks what is left first.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fenwhit {

class ByteWriter {
 public:
  void Byte(uint8_t value) { bytes_ += static_cast<char>(value); }
  void Bytes(const void* data, size_t size) { bytes_.append(static_cast<const char*>(data), size); }
  void U16(uint16_t value) {
    Byte(static_cast<uint8_t>(value));
    Byte(static_cast<uint8_t>(value >> 8));
  }
  void U32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) Byte(static_cast<uint8_t>(value >> shift));
  }
  void U64(uint64_t value) {
    for (int shift = 0; shift < 64; shift += 8) Byte(static_cast<uint8_t>(value >> shift));
  }
  void Varint(uint64_t value) {
    while (value >= 0x80) {
      Byte(static_cast<uint8_t>(value | 0x80));
      value >>= 7;
    }
    Byte(static_cast<uint8_t>(value));
  }
  // A length byte, then the characters. Longer text is cut, still too long to be read back.
  void ShortText(const std::string& text) {
    const size_t size = std::min<size_t>(text.size(), 255);
    Byte(static_cast<uint8_t>(size));
    Bytes(text.data(), size);
  }
  // A u16 length, then the characters; cut as ShortText is.
  void Text16(const std::string& text) {
    const size_t size = std::min<size_t>(text.size(), 0xffff);
    U16(static_cast<uint16_t>(size));
    Bytes(text.data(), size);
  }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
};

// Every read checks what is left first; false once the bytes run out.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  size_t left() const { return bytes_.size() - position_; }
  size_t position() const { return position_; }
  void Skip(size_t size) { position_ += std::min(size, left()); }

  bool Byte(uint8_t& value) {
    if (left() < 1) return false;
    value = static_cast<uint8_t>(bytes_[position_++]);
    return true;
  }
  bool U16(uint16_t& value) {
    uint64_t wide = 0;
    if (!Fixed(2, wide)) return false;
    value = static_cast<uint16_t>(wide);
    return true;
  }
  bool U32(uint32_t& value) {
    uint64_t wide = 0;
    if (!Fixed(4, wide)) return false;
    value = static_cast<uint32_t>(wide);
    return true;
  }
  bool U64(uint64_t& value) { return Fixed(8, value); }
  bool Text16(std::string& text) {
    uint64_t size = 0;
    return Fixed(2, size) && Text(static_cast<size_t>(size), text);
  }
  bool I32(int32_t& value) {
    uint32_t bits = 0;
    if (!U32(bits)) return false;
    value = static_cast<int32_t>(bits);
    return true;
  }
  bool I64(int64_t& value) {
    uint64_t bits = 0;
    if (!U64(bits)) return false;
    value = static_cast<int64_t>(bits);
    return true;
  }
  bool Varint(uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      uint8_t byte = 0;
      if (!Byte(byte)) return false;
      const uint64_t bits = byte & 0x7f;
      if (shift == 63 && bits > 1) return false;
      value |= bits << shift;
      if ((byte & 0x80) == 0) return true;
    }
    return false;
  }
  bool Text(size_t size, std::string& text) {
    if (left() < size) return false;
    text.assign(bytes_.substr(position_, size));
    position_ += size;
    return true;
  }
  bool ShortText(std::string& text) {
    uint8_t size = 0;
    return Byte(size) && Text(size, text);
  }
  bool Bytes(size_t size, std::vector<uint8_t>& out) {
    if (left() < size) return false;
    const auto* start = reinterpret_cast<const uint8_t*>(bytes_.data() + position_);
    out.assign(start, start + size);
    position_ += size;
    return true;
  }

 private:
  bool Fixed(int size, uint64_t& value) {
    if (left() < static_cast<size_t>(size)) return false;
    value = 0;
    for (int i = 0; i < size; ++i) {
      value |= uint64_t{static_cast<uint8_t>(bytes_[position_++])} << (8 * i);
    }
    return true;
  }

  std::string_view bytes_;
  size_t position_ = 0;
};

}  // namespace fenwhit
