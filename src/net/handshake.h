#pragma once
// The start of a connection: each side says who it is and what rules it computes, and the
// host refuses a peer whose game would not play in lockstep with its own. Stepped on the
// caller's clock; it never sleeps. Start it once the link has its peer: what is sent before
// goes nowhere.
#include <optional>
#include <string>

#include "net/net_channel.h"

namespace fenwhit {

inline constexpr double kHandshakeSilenceSeconds = 10.0;

enum class HandshakeSide { kHost, kGuest };
enum class HandshakeState { kWaiting, kReady, kFailed };

// This game's hello for the named player.
NetHello LocalHello(const std::string& player);

class Handshake {
 public:
  Handshake(NetChannel& channel, HandshakeSide side, NetHello mine);

  // Sends the hello on the first call, then takes the peer's; call every frame while waiting.
  void Update(double nowSeconds);

  HandshakeState State() const { return state_; }
  // The peer's player name once ready.
  const std::string& PeerName() const { return peerName_; }
  // One line for the player once failed.
  const std::string& Failure() const { return failure_; }

 private:
  void take(const NetMessage& message);
  void fail(std::string line, bool tellPeer);

  NetChannel& channel_;
  HandshakeSide side_;
  NetHello mine_;
  std::optional<double> startedAt_;
  HandshakeState state_ = HandshakeState::kWaiting;
  std::string peerName_;
  std::string failure_;
};

}  // namespace fenwhit
