#pragma once
// Typed messages over the network link: each one encoded on the way out (inputs unreliably,
// all else reliably and in order) and decoded on the way in. What does not decode is dropped
// and counted, never passed on.
#include <cstdint>
#include <string>

#include "net/net_channel.h"
#include "net/net_link.h"

namespace fenwhit {

class LinkChannel final : public NetChannel {
 public:
  explicit LinkChannel(NetLink& link) : link_(link) {}

  void Send(const NetMessage& message) override;
  std::optional<NetMessage> Receive() override;

  // Messages from the peer that did not decode.
  int64_t Dropped() const { return dropped_; }
  // Why the first of them did not ("" while none has), for a word on screen.
  const std::string& FirstDropReason() const { return firstDropReason_; }

 private:
  NetLink& link_;
  int64_t dropped_ = 0;
  std::string firstDropReason_;
};

}  // namespace fenwhit
