#include "common/deflate_bytes.h"

#include <libdeflate.h>

#include <memory>
#include <new>

namespace fenwhit {

namespace {

constexpr int kCompressionLevel = 9;

struct CompressorDeleter {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
struct DecompressorDeleter {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

}  // namespace

std::string DeflateBytes(std::string_view bytes) {
  const std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
      libdeflate_alloc_compressor(kCompressionLevel));
  if (!compressor) throw std::bad_alloc();
  std::string deflated(libdeflate_deflate_compress_bound(compressor.get(), bytes.size()), '\0');
  const size_t size = libdeflate_deflate_compress(compressor.get(), bytes.data(), bytes.size(),
                                                  deflated.data(), deflated.size());
  deflated.resize(size);
  return deflated;
}

bool InflateExactly(std::string_view deflated, void* out, size_t size) {
  const std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> decompressor(
      libdeflate_alloc_decompressor());
  if (!decompressor) return false;
  size_t read = 0;
  size_t written = 0;
  // A one-byte buffer stands in for an empty block, which libdeflate would not be given.
  char spare = 0;
  const libdeflate_result result =
      libdeflate_deflate_decompress_ex(decompressor.get(), deflated.data(), deflated.size(),
                                       size == 0 ? &spare : out, size, &read, &written);
  return result == LIBDEFLATE_SUCCESS && read == deflated.size() && written == size;
}

}  // namespace fenwhit
