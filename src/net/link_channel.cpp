#include "net/link_channel.h"

#include <utility>
#include <variant>
#include <vector>

namespace fenwhit {

void LinkChannel::Send(const NetMessage& message) {
  const std::vector<uint8_t> bytes = EncodeNetMessage(message);
  // Inputs carry the recent frames again each time: a lost one must not hold up the rest.
  if (std::holds_alternative<NetInputs>(message)) {
    link_.SendUnreliable(bytes);
  } else {
    link_.Send(bytes);
  }
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
