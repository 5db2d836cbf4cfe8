#include "netplay/counting_channel.h"

#include "platform/platform.h"

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
  if (const auto* inputs = std::get_if<NetInputs>(&*message)) {
    for (size_t i = 0; i < inputs->frames.size(); ++i) {
      const ReplayFrame& frame = inputs->frames[i];
      if ((frame.keys[scan::kEsc / 64] >> (scan::kEsc % 64) & 1) == 0) continue;
      const int64_t at = inputs->firstFrame + static_cast<int64_t>(i);
      if (!peerEscapeFrame_ || at < *peerEscapeFrame_) peerEscapeFrame_ = at;
      break;
    }
  }
  return message;
}

}  // namespace fenwhit
