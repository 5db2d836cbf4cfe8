// Feeds arbitrary datagrams to the network message decoder. Whatever it accepts must encode
// and decode again as the very same message. Most mutations break the header's length, so
// each input is also tried behind a header made right for each kind of message, and as the
// state of a game start, which goes deflated.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "net/net_message.h"

namespace {

void DecodeAndCheck(std::span<const uint8_t> bytes) {
  std::string why;
  const std::optional<fenwhit::NetMessage> message = fenwhit::DecodeNetMessage(bytes, why);
  if (!message) {
    if (why.empty()) std::abort();
    return;
  }
  const std::vector<uint8_t> again = fenwhit::EncodeNetMessage(*message);
  const std::optional<fenwhit::NetMessage> decoded = fenwhit::DecodeNetMessage(again, why);
  if (!decoded || *decoded != *message) std::abort();
  if (fenwhit::EncodeNetMessage(*decoded) != again) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  DecodeAndCheck(bytes);
  // The first byte chooses the kind; the rest is the body.
  if (size == 0) return 0;
  std::vector<uint8_t> framed = {
      'F', 'W', static_cast<uint8_t>(fenwhit::kNetProtocolVersion),
      static_cast<uint8_t>(fenwhit::kNetProtocolVersion >> 8),
      static_cast<uint8_t>(data[0] % (std::variant_size_v<fenwhit::NetMessage> + 1))};
  const uint32_t length = static_cast<uint32_t>(size - 1);
  for (int i = 0; i < 4; ++i) framed.push_back(static_cast<uint8_t>(length >> (8 * i)));
  framed.insert(framed.end(), data + 1, data + size);
  DecodeAndCheck(framed);
  if (size > fenwhit::kReplayMaxStartStateBytes) return 0;
  fenwhit::NetGameStart start;
  start.startState.assign(data, data + size);
  const std::vector<uint8_t> startBytes = fenwhit::EncodeNetMessage(start);
  std::string why;
  if (fenwhit::DecodeNetMessage(startBytes, why) != fenwhit::NetMessage(start)) std::abort();
  return 0;
}
