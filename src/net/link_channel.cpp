#include "net/link_channel.h"

#include <utility>
#include <vector>

namespace fenwhit {

void LinkChannel::Send(const NetMessage& message) {
  const std::vector<uint8_t> bytes = EncodeNetMessage(message);
  link_.Send(bytes);
}

std::optional<NetMessage> LinkChannel::Receive() {
  while (std::optional<std::vector<uint8_t>> bytes = link_.Receive()) {
    std::string why;
    if (std::optional<NetMessage> message = DecodeNetMessage(*bytes, why)) return message;
    if (dropped_++ == 0) firstDropReason_ = std::move(why);
  }
  return std::nullopt;
}

}  // namespace fenwhit
