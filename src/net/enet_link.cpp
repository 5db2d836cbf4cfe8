#include "net/enet_link.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "common/seconds_text.h"
#include "net/net_message.h"

namespace fenwhit {
namespace {

// Sent with the disconnect when a host already has its player.
constexpr enet_uint32 kRefusedBusy = 1;
// A host takes one player; the second slot only exists to tell a latecomer no at once
// instead of leaving it to time out.
constexpr size_t kPeerSlots = 2;
// A real player finishes connecting in one round trip, a few resends over a bad line. A
// stranger who never does would hold a slot for ENet's half-minute and keep players out.
constexpr enet_uint32 kHalfOpenLimitMs = 2000;
// Reliable messages in order on one channel; inputs, sent again anyway, on the other.
constexpr enet_uint8 kReliableChannel = 0;
constexpr enet_uint8 kUnreliableChannel = 1;
constexpr size_t kChannels = 2;
// How long a closing link waits for the peer to take what was queued (a refusal, a game's
// end) before it hangs up regardless. ENet throws away whatever the peer has not yet taken
// when the hang-up reaches it, so a peer whose machine is busy for a moment must be waited
// for; a peer that is really gone costs this much at the end.
constexpr enet_uint32 kCloseWaitMs = 2000;

bool EnsureEnet(std::string& error) {
  static std::once_flag once;
  static bool ready = false;
  std::call_once(once, [] {
    ready = enet_initialize() == 0;
    if (ready) std::atexit(enet_deinitialize);
  });
  if (!ready) error = "the network library could not start";
  return ready;
}

ENetHost* CreateHost(const ENetAddress* address, size_t slots) {
  ENetHost* host = enet_host_create(address, slots, kChannels, 0, 0);
  // ENet would otherwise reassemble up to 32 MB from a stranger; keep it near what a
  // message may be, so refusing oversized ones costs little memory.
  if (host != nullptr) host->maximumPacketSize = 2 * kNetMaxMessageBytes;
  return host;
}

}  // namespace

bool SplitHostAndPort(const std::string& text, std::string& name, uint16_t& port,
                      std::string& error) {
  if (text.empty()) {
    error = "no host to join";
    return false;
  }
  // ENet 1.3 speaks IPv4 only.
  if (text.front() == '[' || text.find(':') != text.rfind(':')) {
    error = "cannot join the IPv6 address " + text +
            ": this game's network library speaks IPv4 only; give an IPv4 address or a name";
    return false;
  }
  size_t colon = text.find(':');
  name = text.substr(0, colon);
  port = kNetDefaultPort;
  if (name.empty()) {
    error = "no host name in \"" + text + "\"";
    return false;
  }
  if (colon == std::string::npos) return true;
  std::string portText = text.substr(colon + 1);
  unsigned value = 0;
  auto [end, fault] = std::from_chars(portText.data(), portText.data() + portText.size(), value);
  if (portText.empty() || fault != std::errc() || end != portText.data() + portText.size() ||
      value == 0 || value > 65535) {
    error = "\"" + portText + "\" is not a port (1 to 65535)";
    return false;
  }
  port = static_cast<uint16_t>(value);
  return true;
}

EnetLink::EnetLink(ENetHost* host, EnetLinkTimes times, bool hosting)
    : host_(host), times_(times), hosting_(hosting) {}

EnetLink::~EnetLink() {
  // Tell the peer now rather than let it wait out the silence.
  if (peer_ != nullptr) HangUp();
  enet_host_destroy(host_);
}

void EnetLink::HangUp() {
  // ENet says goodbye once all that was queued is acknowledged; hanging up at once would
  // throw away what was said last, such as why the peer was refused.
  const bool talking = peer_->state == ENET_PEER_STATE_CONNECTED;
  if (talking) enet_peer_disconnect_later(peer_, 0);
  const enet_uint32 until = enet_time_get() + (talking ? kCloseWaitMs : 0);
  ENetEvent event;
  for (enet_uint32 now = enet_time_get(); now < until; now = enet_time_get()) {
    const int result = enet_host_service(host_, &event, until - now);
    if (result < 0) break;
    if (result == 0) continue;
    if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
    if (event.type == ENET_EVENT_TYPE_DISCONNECT && event.peer == peer_) return;
  }
  enet_peer_disconnect_now(peer_, 0);
  enet_host_flush(host_);
}

std::unique_ptr<EnetLink> EnetLink::Host(uint16_t port, std::string& error, EnetLinkTimes times) {
  if (!EnsureEnet(error)) return nullptr;
  // ENet 1.3.17 has IPv4 sockets only: every IPv4 address of this machine is bound.
  ENetAddress address{};
  address.host = ENET_HOST_ANY;
  address.port = port;
  errno = 0;
  ENetHost* host = CreateHost(&address, kPeerSlots);
  if (host == nullptr) {
    error = errno == EADDRINUSE
                ? "port " + std::to_string(port) + " is in use"
                : "cannot listen on port " + std::to_string(port) + ": " + std::strerror(errno);
    return nullptr;
  }
  return std::unique_ptr<EnetLink>(new EnetLink(host, times, true));
}

bool LookUpIpv4(const std::string& name, uint32_t& ipv4, std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    error = "no such host: " + name;
    return false;
  }
  ipv4 = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(found);
  return true;
}

std::unique_ptr<EnetLink> EnetLink::Join(const std::string& hostAndPort, std::string& error,
                                         EnetLinkTimes times) {
  std::string name;
  uint16_t port = 0;
  uint32_t ipv4 = 0;
  if (!SplitHostAndPort(hostAndPort, name, port, error) || !LookUpIpv4(name, ipv4, error)) {
    return nullptr;
  }
  std::unique_ptr<EnetLink> link = StartJoin(ipv4, port, name, error, times);
  while (link && link->Connecting()) link->Service(10);
  // A host that answers only to refuse is told by Ended() after, as with any peer gone.
  if (link && !link->hadPeer_) {
    error = link->Ended();
    return nullptr;
  }
  return link;
}

std::unique_ptr<EnetLink> EnetLink::StartJoin(uint32_t ipv4, uint16_t port,
                                              const std::string& peerName, std::string& error,
                                              EnetLinkTimes times) {
  if (!EnsureEnet(error)) return nullptr;
  ENetHost* host = CreateHost(nullptr, 1);
  if (host == nullptr) {
    error = "cannot open a network socket";
    return nullptr;
  }
  std::unique_ptr<EnetLink> link(new EnetLink(host, times, false));
  link->peerName_ = peerName + ":" + std::to_string(port);
  ENetAddress address{};
  address.host = ipv4;
  address.port = port;
  link->joining_ = enet_host_connect(host, &address, kChannels, 0);
  if (link->joining_ == nullptr) {
    error = "cannot connect to " + link->peerName_;
    return nullptr;
  }
  // ENet would give up on its own clock; the wait is ours.
  auto wait = static_cast<enet_uint32>(times.connectWaitMs);
  enet_peer_timeout(link->joining_, 0, wait, wait);
  link->joinedAt_ = enet_time_get();
  return link;
}

void EnetLink::Adopt(ENetPeer* peer) {
  peer_ = peer;
  joining_ = nullptr;
  hadPeer_ = true;
  heardAt_ = enet_time_get();
  datagramsSeen_ = host_->totalReceivedPackets;
  // Unacknowledged for the silence limit, however few retries that took: the peer is gone.
  // ENet pings every half second, so a quiet but present peer is always heard.
  auto silence = static_cast<enet_uint32>(times_.silenceMs);
  enet_peer_timeout(peer, 0, silence, silence);
}

void EnetLink::EndIfSilent() {
  if (peer_ == nullptr) return;
  // ENet only checks its limit as a resend falls due, and resends back off to seconds apart.
  // Any datagram counts as hearing the peer: a refused latecomer's few hardly matter.
  enet_uint32 now = enet_time_get();
  if (host_->totalReceivedPackets != datagramsSeen_) {
    datagramsSeen_ = host_->totalReceivedPackets;
    heardAt_ = now;
  }
  if (now - heardAt_ < static_cast<enet_uint32>(times_.silenceMs)) return;
  enet_peer_disconnect_now(peer_, 0);
  peer_ = nullptr;
  ended_ = "the other player was silent for " + SecondsText(times_.silenceMs) + " seconds";
}

void EnetLink::EndIfUnanswered() {
  if (joining_ != nullptr &&
      enet_time_get() - joinedAt_ >= static_cast<enet_uint32>(times_.connectWaitMs)) {
    GiveUpJoining();
  }
}

void EnetLink::GiveUpJoining() {
  enet_peer_reset(joining_);
  joining_ = nullptr;
  ended_ = "no answer from " + peerName_ + " in " + SecondsText(times_.connectWaitMs) + " seconds";
}

void EnetLink::Send(std::span<const uint8_t> message) {
  Queue(message, kReliableChannel, ENET_PACKET_FLAG_RELIABLE);
}

void EnetLink::SendUnreliable(std::span<const uint8_t> message) {
  Queue(message, kUnreliableChannel, ENET_PACKET_FLAG_UNSEQUENCED);
}

void EnetLink::Queue(std::span<const uint8_t> message, enet_uint8 channel, enet_uint32 flags) {
  if (message.size() > kNetMaxMessageBytes) {
    ++oversizedDropped_;
    return;
  }
  if (!Connected()) return;
  ENetPacket* packet = enet_packet_create(message.data(), message.size(), flags);
  if (packet != nullptr && enet_peer_send(peer_, channel, packet) != 0) {
    enet_packet_destroy(packet);
    return;
  }
  // Out now rather than at the next service, which a game running on time may not call
  // before the peer needs its input.
  enet_host_flush(host_);
}

std::optional<std::vector<uint8_t>> EnetLink::Receive() {
  if (received_.empty()) return std::nullopt;
  std::vector<uint8_t> message = std::move(received_.front());
  received_.pop_front();
  return message;
}

void EnetLink::Service(int waitMs) {
  ENetEvent event;
  int result = enet_host_service(host_, &event, static_cast<enet_uint32>(std::max(waitMs, 0)));
  while (result > 0) {
    Handle(event);
    result = enet_host_service(host_, &event, 0);
  }
  EndIfUnanswered();
  EndIfSilent();
  if (hosting_) DropHalfOpen();
}

void EnetLink::DropHalfOpen() {
  halfOpenSince_.resize(host_->peerCount, 0);
  const enet_uint32 now = enet_time_get() | 1;  // never 0, which means none
  for (size_t i = 0; i < host_->peerCount; ++i) {
    ENetPeer* peer = &host_->peers[i];
    const bool halfOpen =
        peer->state > ENET_PEER_STATE_CONNECTING && peer->state < ENET_PEER_STATE_CONNECTED;
    if (!halfOpen) {
      halfOpenSince_[i] = 0;
    } else if (halfOpenSince_[i] == 0) {
      halfOpenSince_[i] = now;
    } else if (now - halfOpenSince_[i] >= kHalfOpenLimitMs) {
      enet_peer_reset(peer);
      halfOpenSince_[i] = 0;
    }
  }
}

void EnetLink::Handle(const ENetEvent& event) {
  switch (event.type) {
    case ENET_EVENT_TYPE_CONNECT:
      if (!hadPeer_ && (hosting_ || event.peer == joining_)) {
        Adopt(event.peer);
      } else if (event.peer != peer_) {
        enet_peer_disconnect_now(event.peer, kRefusedBusy);
      }
      break;
    case ENET_EVENT_TYPE_RECEIVE:
      if (event.peer != peer_) {
        // A refused latecomer's last words.
      } else if (event.packet->dataLength > kNetMaxMessageBytes) {
        ++oversizedDropped_;
      } else {
        received_.emplace_back(event.packet->data, event.packet->data + event.packet->dataLength);
      }
      enet_packet_destroy(event.packet);
      break;
    case ENET_EVENT_TYPE_DISCONNECT:
      if (event.peer == joining_) {
        GiveUpJoining();
      } else if (event.peer == peer_) {
        peer_ = nullptr;
        ended_ = event.data == kRefusedBusy ? "the host already has a player"
                                            : "the other player is gone";
      }
      break;
    case ENET_EVENT_TYPE_NONE:
      break;
  }
}

bool EnetLink::Connected() const {
  return peer_ != nullptr && peer_->state == ENET_PEER_STATE_CONNECTED;
}

double EnetLink::RoundTripMs() const {
  return Connected() ? static_cast<double>(peer_->roundTripTime) : -1.0;
}

uint16_t EnetLink::Port() const {
  return host_->address.port;
}

}  // namespace fenwhit
