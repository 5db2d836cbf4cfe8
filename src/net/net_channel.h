#pragma once
// Whole, typed messages to and from the other copy of the game: over the network the link
// and its codec; in tests, memory.
#include <optional>

#include "net/net_message.h"

namespace fenwhit {

class NetChannel {
 public:
  virtual ~NetChannel() = default;
  virtual void Send(const NetMessage& message) = 0;
  // The next message from the peer, if one has come.
  virtual std::optional<NetMessage> Receive() = 0;
};

}  // namespace fenwhit
