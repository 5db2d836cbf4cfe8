// Feeds arbitrary bytes to the replay reader. Whatever it accepts must write back and read again
// as the very same replay. Almost every mutation breaks the CRC or the deflated body, so each
// input is also tried with its CRC made right, as the inflated body of a file whose header
// fits it, which is what reaches the frames, and as the song of a file otherwise whole.
#include <libdeflate.h>

#include <algorithm>
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

std::string Deflated(std::string_view body) {
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(1);
  if (compressor == nullptr) return "";
  std::string deflated(libdeflate_deflate_compress_bound(compressor, body.size()), '\0');
  deflated.resize(libdeflate_deflate_compress(compressor, body.data(), body.size(), deflated.data(),
                                              deflated.size()));
  libdeflate_free_compressor(compressor);
  return deflated;
}

struct SongFields {
  std::string_view title;
  std::string_view key;
  std::string_view path;
};

// A whole file of the given song, counts and body.
std::string FileOf(const SongFields& song, uint32_t frames, uint32_t startState,
                   std::string_view body) {
  const std::string deflated = Deflated(body);
  std::string file("FWRP\0", 5);
  Put(file, fenwhit::kReplayFormatVersion, 4);
  // Version, player, machine, the song's title and key: a length byte each.
  for (const std::string_view text : {std::string_view("0.9.0"), std::string_view("ANN"),
                                      std::string_view("x86_64"), song.title, song.key}) {
    file += static_cast<char>(text.size());
    file += text;
  }
  Put(file, song.path.size(), 2);
  file += song.path;
  Put(file, 1, 4);   // kind
  Put(file, 2, 4);   // screen mode
  Put(file, 7, 8);   // seed
  Put(file, 0, 8);   // start time
  Put(file, 50, 8);  // score
  Put(file, frames, 4);
  Put(file, frames / fenwhit::kReplayChecksumEvery + 1, 4);
  Put(file, startState, 4);
  Put(file, body.size(), 4);
  Put(file, deflated.size(), 4);
  file += deflated;
  PutCrc(file);
  return file;
}

// The first three bytes choose the frame count and how much of the rest is start state.
std::string FileAroundBody(std::string_view input) {
  if (input.size() < 3) return "";
  const uint32_t frames =
      uint32_t{static_cast<uint8_t>(input[0])} | uint32_t{static_cast<uint8_t>(input[1])} << 8;
  const SongFields song{"Song \xe2\x99\xab", "0123456789abcdef0123456789abcdef", "/m/s.ogg"};
  return FileOf(song, frames, static_cast<uint8_t>(input[2]) % 16, input.substr(3));
}

// The first two bytes give the lengths of the title and the key; the rest is the path.
std::string FileAroundSong(std::string_view input) {
  if (input.size() < 2) return "";
  const size_t titleSize = std::min<size_t>(static_cast<uint8_t>(input[0]), input.size() - 2);
  const std::string_view title = input.substr(2, titleSize);
  const size_t keySize =
      std::min<size_t>(static_cast<uint8_t>(input[1]), input.size() - 2 - titleSize);
  const std::string_view key = input.substr(2 + titleSize, keySize);
  const std::string_view path = input.substr(2 + titleSize + keySize, 0xffff);
  // No frames: the body is the one checksum.
  return FileOf({title, key, path}, 0, 0, std::string(8, '\0'));
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
  DecodeAndCheck(FileAroundSong(input));
  return 0;
}
