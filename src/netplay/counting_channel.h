#pragma once
// A channel around another that counts the encoded bytes of the messages through it, for
// the figures a network game reports (the link's own headers are not counted), and notes
// how the peer's player left, which the lockstep does not pass on.
#include <cstdint>
#include <optional>

#include "net/net_channel.h"

namespace fenwhit {

class CountingChannel final : public NetChannel {
 public:
  explicit CountingChannel(NetChannel& inner) : inner_(inner) {}

  void Send(const NetMessage& message) override;
  std::optional<NetMessage> Receive() override;

  uint64_t SentBytes() const { return sent_; }
  uint64_t ReceivedBytes() const { return received_; }
  // Whether the peer ended the game plainly (its Esc or its window closed), as opposed to
  // a failure it found.
  bool PeerEndedPlainly() const { return peerEndedPlainly_; }
  // The first frame whose input from the peer holds Esc, once one has come.
  std::optional<int64_t> PeerEscapeFrame() const { return peerEscapeFrame_; }

 private:
  NetChannel& inner_;
  uint64_t sent_ = 0;
  uint64_t received_ = 0;
  bool peerEndedPlainly_ = false;
  std::optional<int64_t> peerEscapeFrame_;
};

}  // namespace fenwhit
