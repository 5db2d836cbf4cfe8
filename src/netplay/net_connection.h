#pragma once
// A connection to the other player's game, once both have said who they are: what the
// network game needs of it, whatever made it (the command line, the menu's network screen,
// a test's memory).
#include <string>

#include "net/lockstep.h"
#include "net/net_channel.h"

namespace fenwhit {

class NetConnection {
 public:
  virtual ~NetConnection() = default;
  // Typed messages to and from the peer.
  virtual NetChannel& Channel() = 0;
  // Does the network's work, waiting up to waitMs for something to come; call every frame
  // and while held.
  virtual void Service(int waitMs) = 0;
  // False once the peer is gone (disconnected, or silent past the limit).
  virtual bool Connected() const = 0;
  // The measured round trip in milliseconds; negative while unknown.
  virtual double RoundTripMs() const = 0;
  // The host plays the left paddle and decides the start and the beats.
  virtual LockstepSide Side() const = 0;
  // The other player's name, as the scores table has names.
  virtual const std::string& PeerName() const = 0;
};

}  // namespace fenwhit
