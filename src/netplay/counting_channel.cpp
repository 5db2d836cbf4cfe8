#include "netplay/counting_channel.h"

namespace fenwhit {

void CountingChannel::Send(const NetMessage& message) {
  sent_ += EncodeNetMessage(message).size();
  inner_.Send(message);
}

std::optional<NetMessage> CountingChannel::Receive() {
  std::optional<NetMessage> message = inner_.Receive();
  if (!message) return message;
  received_ += EncodeNetMessage(*message).size();
  // A plain end carries no reason: the receiver names the player who left.
  if (const auto* end = std::get_if<NetGameEnd>(&*message); end != nullptr && end->why.empty()) {
    peerEndedPlainly_ = true;
  }
  return message;
}

}  // namespace fenwhit
