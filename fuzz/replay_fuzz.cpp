// Feeds arbitrary bytes to the replay reader. Whatever it accepts must write back and read again
// as the very same replay. Almost every mutation breaks the CRC or the deflated body, so each
// input is also tried with its CRC made right, and as the inflated body of a file whose header
// fits it, which is what reaches the frames.
#include <libdeflate.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "replay/replay_file.h"

namespace {

void Put(std::string& out, uint64_t value, int width) {
  for (int i = 0; i < width; ++i) out += static_cast<char>(value >> (8 * i));
}

void PutCrc(std::string& file) {
  Put(file, libdeflate_crc32(0, file.data(), file.size()), 4);
}

void DecodeAndCheck(std::string_view bytes) {
  std::string why;
  const std::optional<fenwhit::Replay> replay = fenwhit::DecodeReplay(bytes, why);
  if (!replay) {
    if (why.empty()) std::abort();  // a refusal always says why
    return;
  }
  if (!fenwhit::ReplayProblem(*replay).empty()) std::abort();
  const std::optional<fenwhit::Replay> again =
      fenwhit::DecodeReplay(fenwhit::EncodeReplay(*replay), why);
  if (!again || !(*again == *replay)) std::abort();
}

// The first three bytes choose the frame count and how much of the rest is start state.
std::string FileAroundBody(std::string_view input) {
  if (input.size() < 3) return "";
  const uint32_t frames =
      uint32_t{static_cast<uint8_t>(input[0])} | uint32_t{static_cast<uint8_t>(input[1])} << 8;
  const uint32_t checksums = frames / fenwhit::kReplayChecksumEvery + 1;
  const std::string_view body = input.substr(3);
  const uint32_t startState = static_cast<uint8_t>(input[2]) % 16;
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(1);
  if (compressor == nullptr) return "";
  std::string deflated(libdeflate_deflate_compress_bound(compressor, body.size()), '\0');
  deflated.resize(libdeflate_deflate_compress(compressor, body.data(), body.size(), deflated.data(),
                                              deflated.size()));
  libdeflate_free_compressor(compressor);

  std::string file("FWRP\0", 5);
  Put(file, fenwhit::kReplayFormatVersion, 4);
  for (const std::string_view text : {"0.9.0", "ANN", "x86_64"}) {  // version, player, machine
    file += static_cast<char>(text.size());
    file += text;
  }
  Put(file, 1, 4);   // kind
  Put(file, 2, 4);   // screen mode
  Put(file, 7, 8);   // seed
  Put(file, 0, 8);   // start time
  Put(file, 50, 8);  // score
  Put(file, frames, 4);
  Put(file, checksums, 4);
  Put(file, startState, 4);
  Put(file, body.size(), 4);
  Put(file, deflated.size(), 4);
  file += deflated;
  PutCrc(file);
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  DecodeAndCheck(input);
  if (size >= 4) {
    std::string repaired(input.substr(0, size - 4));
    PutCrc(repaired);
    DecodeAndCheck(repaired);
  }
  DecodeAndCheck(FileAroundBody(input));
  return 0;
}
