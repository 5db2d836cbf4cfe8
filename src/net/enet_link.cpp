#include "net/enet_link.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "net/net_message.h"

namespace fenwhit {
namespace {

// Sent with the disconnect when a host already has its player.
constexpr enet_uint32 kRefusedBusy = 1;
// A host takes one player; the second slot only exists to tell a latecomer no at once
// instead of leaving it to time out.
constexpr size_t kPeerSlots = 2;

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

std::string SecondsText(int ms) {
  if (ms % 1000 == 0) return std::to_string(ms / 1000);
  return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100);
}

ENetHost* CreateHost(const ENetAddress* address, size_t slots) {
  ENetHost* host = enet_host_create(address, slots, 1, 0, 0);
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
    error = "IPv6 addresses cannot be joined: give an IPv4 address or a name (" + text + ")";
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
  if (peer_ != nullptr) {
    enet_peer_disconnect_now(peer_, 0);
    enet_host_flush(host_);
  }
  enet_host_destroy(host_);
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

std::unique_ptr<EnetLink> EnetLink::Join(const std::string& hostAndPort, std::string& error,
                                         EnetLinkTimes times) {
  std::string name;
  uint16_t port = 0;
  if (!SplitHostAndPort(hostAndPort, name, port, error) || !EnsureEnet(error)) return nullptr;
  ENetAddress address{};
  if (enet_address_set_host(&address, name.c_str()) != 0) {
    error = "cannot find the address of " + name;
    return nullptr;
  }
  address.port = port;
  ENetHost* host = CreateHost(nullptr, 1);
  if (host == nullptr) {
    error = "cannot open a network socket";
    return nullptr;
  }
  std::unique_ptr<EnetLink> link(new EnetLink(host, times, false));
  link->peerName_ = name + ":" + std::to_string(port);
  ENetPeer* peer = enet_host_connect(host, &address, 1, 0);
  if (peer == nullptr) {
    error = "cannot connect to " + link->peerName_;
    return nullptr;
  }
  // Connecting is the one wait the link does itself: nothing else can happen until then.
  enet_uint32 start = enet_time_get();
  ENetEvent event;
  while (enet_time_get() - start < static_cast<enet_uint32>(times.connectWaitMs)) {
    int result = enet_host_service(host, &event, 10);
    if (result < 0) {
      error = "the network failed while connecting to " + link->peerName_;
      return nullptr;
    }
    if (result > 0 && event.type == ENET_EVENT_TYPE_CONNECT) {
      link->Adopt(event.peer);
      return link;
    }
    if (result > 0 && event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
  }
  enet_peer_reset(peer);
  error =
      "no answer from " + link->peerName_ + " in " + SecondsText(times.connectWaitMs) + " seconds";
  return nullptr;
}

void EnetLink::Adopt(ENetPeer* peer) {
  peer_ = peer;
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

void EnetLink::Send(std::span<const uint8_t> message) {
  if (message.size() > kNetMaxMessageBytes) {
    ++oversizedDropped_;
    return;
  }
  if (!Connected()) return;
  ENetPacket* packet =
      enet_packet_create(message.data(), message.size(), ENET_PACKET_FLAG_RELIABLE);
  if (packet != nullptr && enet_peer_send(peer_, 0, packet) != 0) enet_packet_destroy(packet);
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
  EndIfSilent();
}

void EnetLink::Handle(const ENetEvent& event) {
  switch (event.type) {
    case ENET_EVENT_TYPE_CONNECT:
      if (hosting_ && !hadPeer_) {
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
      if (event.peer == peer_) {
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
