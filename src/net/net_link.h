#pragma once
// The connection to the other copy of the game: whole messages, reliable and in order, or,
// for what is sent again anyway, unreliable and in no order.
// The real one runs over ENet; tests use one in memory.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace fenwhit {

class NetLink {
 public:
  virtual ~NetLink() = default;
  // Queues a message for the peer.
  virtual void Send(std::span<const uint8_t> message) = 0;
  // Queues a message that may be lost, doubled or overtaken, and holds up nothing else.
  virtual void SendUnreliable(std::span<const uint8_t> message) = 0;
  // The next message from the peer, if one has come.
  virtual std::optional<std::vector<uint8_t>> Receive() = 0;
  // Does the network's work, waiting up to waitMs for something to come; called every frame
  // and while waiting for the peer.
  virtual void Service(int waitMs) = 0;
  // False once the peer is gone (disconnected, or silent past the link's timeout).
  virtual bool Connected() const = 0;
  // The measured round trip in milliseconds; negative while unknown.
  virtual double RoundTripMs() const = 0;
};

}  // namespace fenwhit
