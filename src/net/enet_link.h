#pragma once
// The link to the other copy of the game over ENet: one reliable channel and one unreliable,
// one peer.
#include <enet/enet.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "net/net_link.h"

namespace fenwhit {

// The port a host listens on unless the player names another (UDP).
inline constexpr uint16_t kNetDefaultPort = 5029;

struct EnetLinkTimes {
  // How long a join waits for the host to answer.
  int connectWaitMs = 10000;
  // How long the peer may stay silent before the link counts it gone.
  int silenceMs = 10000;
};

class EnetLink final : public NetLink {
 public:
  // Listens on `port` (0: any free one) for one player. Null, with `error` set, if it cannot.
  static std::unique_ptr<EnetLink> Host(uint16_t port, std::string& error,
                                        EnetLinkTimes times = {});
  // Connects to "NAME", "ADDRESS", "NAME:PORT" or "ADDRESS:PORT", waiting for the answer.
  static std::unique_ptr<EnetLink> Join(const std::string& hostAndPort, std::string& error,
                                        EnetLinkTimes times = {});
  // Starts connecting to an IPv4 address (network byte order) without waiting: Service()
  // goes on with it until Connected(), or Ended() says why not. `peerName` is how the
  // player gave the host, for the words.
  static std::unique_ptr<EnetLink> StartJoin(uint32_t ipv4, uint16_t port,
                                             const std::string& peerName, std::string& error,
                                             EnetLinkTimes times = {});
  ~EnetLink() override;
  EnetLink(const EnetLink&) = delete;
  EnetLink& operator=(const EnetLink&) = delete;

  void Send(std::span<const uint8_t> message) override;
  void SendUnreliable(std::span<const uint8_t> message) override;
  std::optional<std::vector<uint8_t>> Receive() override;
  void Service(int waitMs) override;
  bool Connected() const override;
  double RoundTripMs() const override;
  // A join started and neither answered nor given up yet.
  bool Connecting() const { return joining_ != nullptr; }

  // The UDP port this end is bound to.
  uint16_t Port() const;
  // Messages refused for being larger than any message can be, either way.
  int64_t OversizedDropped() const { return oversizedDropped_; }
  // Why the link ended ("" while it has not).
  const std::string& Ended() const { return ended_; }

 private:
  EnetLink(ENetHost* host, EnetLinkTimes times, bool hosting);
  void Handle(const ENetEvent& event);
  void Adopt(ENetPeer* peer);
  void EndIfSilent();
  void EndIfUnanswered();
  void DropHalfOpen();
  void GiveUpJoining();
  void Queue(std::span<const uint8_t> message, enet_uint8 channel, enet_uint32 flags);
  void HangUp();

  ENetHost* host_;
  ENetPeer* peer_ = nullptr;
  ENetPeer* joining_ = nullptr;  // the host asked, before it answers
  enet_uint32 joinedAt_ = 0;
  // Hosting: since when each slot has held a connection begun but not finished (0: none).
  std::vector<enet_uint32> halfOpenSince_;
  EnetLinkTimes times_;
  bool hosting_;
  bool hadPeer_ = false;
  enet_uint32 heardAt_ = 0;  // ENet's clock
  enet_uint32 datagramsSeen_ = 0;
  std::string peerName_;
  std::deque<std::vector<uint8_t>> received_;
  int64_t oversizedDropped_ = 0;
  std::string ended_;
};

// Splits "NAME[:PORT]" into its name and port; false, with `error` set, if it is not one.
bool SplitHostAndPort(const std::string& text, std::string& name, uint16_t& port,
                      std::string& error);
// The IPv4 address of a name or dotted address (network byte order); false, with `error`
// set, if it has none. Asks the system's resolver, so it may take a while.
bool LookUpIpv4(const std::string& name, uint32_t& ipv4, std::string& error);

}  // namespace fenwhit
