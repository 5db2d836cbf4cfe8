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

// How long the session waits, shortened by tests.
struct NetSessionTimes {
  // Joining: for the host's answer, and again for the name's address.
  int connectWaitMs = 10000;
  // Connected: how long the other side may say nothing before the session fails.
  double silenceSeconds = 10.0;
  // Round trips the host times before it chooses the input delay.
  int pingRounds = 5;
  // While greeting, how long one Update listens for the next message, so that a round
  // trip is timed by the network rather than by the frames between two updates.
  int listenMs = 4;
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
  // line for the player ("port 5029 is in use", an IPv6 address, a bad port), when it cannot
  // even start. A name is looked up after, so "no such host: foo" comes as a failure.
  static std::unique_ptr<NetSession> Start(const NetRequest& request, const std::string& player,
                                           std::string& error, const NetSessionTimes& times = {});

  // Does the work of the moment: the link, the hellos, the round trips.
  virtual void Update(double nowSeconds) = 0;
  virtual NetSessionState State() const = 0;
  virtual const std::string& Failure() const = 0;
  // The frames of input delay the host chose from the round trip it measured, once ready;
  // the guest has it from the host, and each game start carries the same number.
  virtual int InputDelay() const = 0;
  // Hosting: the UDP port and this machine's addresses, for the waiting screen.
  virtual uint16_t Port() const = 0;
  virtual std::vector<std::string> LocalAddresses() const = 0;
};

}  // namespace fenwhit
