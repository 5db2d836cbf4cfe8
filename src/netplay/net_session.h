#pragma once
// Getting two games connected: hosting (waiting for one player on a UDP port) or joining
// (a name or address, with an optional port), then the hello exchange that checks both
// compute alike, and a few round trips measured for the input delay. Stepped on the
// caller's clock; nothing in it blocks for longer than the wait it is given, so a window
// stays alive while it works.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "netplay/net_connection.h"

namespace fenwhit {

struct NetRequest {
  enum class Kind { kHost, kJoin };
  Kind kind = Kind::kHost;
  uint16_t port = 0;    // hosting: the port to listen on (0: the default port)
  std::string address;  // joining: "NAME", "ADDRESS", "NAME:PORT" or "ADDRESS:PORT"
};

enum class NetSessionState {
  kWaitingForPlayer,  // hosting, nobody has come yet
  kConnecting,        // joining, the host has not answered yet
  kGreeting,          // connected; the hellos and the round trips are being exchanged
  kReady,             // a game can start: Side(), PeerName(), InputDelay() are known
  kFailed             // Failure() says why, in one line
};

class NetSession : public NetConnection {
 public:
  // Starts hosting or joining for the named local player. Null, with `error` set to one
  // line for the player ("port 5029 is in use", "no such host: foo"), when it cannot even
  // start.
  static std::unique_ptr<NetSession> Start(const NetRequest& request, const std::string& player,
                                           std::string& error);

  // Does the work of the moment: the link, the hellos, the round trips.
  virtual void Update(double nowSeconds) = 0;
  virtual NetSessionState State() const = 0;
  virtual const std::string& Failure() const = 0;
  // The frames of input delay chosen from the measured round trip, once ready.
  virtual int InputDelay() const = 0;
  // Hosting: the UDP port and this machine's addresses, for the waiting screen.
  virtual uint16_t Port() const = 0;
  virtual std::vector<std::string> LocalAddresses() const = 0;
};

}  // namespace fenwhit
