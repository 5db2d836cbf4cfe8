#include "net/enet_link.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "net/net_message.h"
#include "support/udp_relay.h"

namespace fenwhit {
namespace {

using Clock = std::chrono::steady_clock;
using testing::RelayConditions;
using testing::UdpRelay;

// Services every link until `done` holds or `seconds` pass; true if it held.
bool PumpUntil(std::vector<EnetLink*> links, const std::function<bool()>& done,
               double seconds = 5) {
  auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < deadline) {
    for (EnetLink* link : links) link->Service(1);
    if (done()) return true;
  }
  return false;
}

// Message `index`: its length and bytes both vary, some longer than one datagram.
std::vector<uint8_t> NumberedMessage(int index) {
  std::vector<uint8_t> message(1 + (index * 37) % 3000);
  for (size_t i = 0; i < message.size(); ++i) message[i] = static_cast<uint8_t>(index * 7 + i);
  return message;
}

struct Pair {
  std::unique_ptr<EnetLink> host, guest;
};

// A host on a free port (or the one given) and a guest joined to it, through the relay if
// given.
Pair Connect(EnetLinkTimes times = {}, UdpRelay* relay = nullptr,
             std::unique_ptr<EnetLink> host = nullptr) {
  std::string error;
  Pair pair;
  pair.host = host ? std::move(host) : EnetLink::Host(0, error, times);
  EXPECT_NE(pair.host, nullptr) << error;
  if (!pair.host) return pair;
  uint16_t port = relay ? relay->Port() : pair.host->Port();
  // The host answers only while it is serviced, as the game does every frame.
  std::atomic<bool> joined{false};
  EnetLink* hostLink = pair.host.get();
  std::thread hostTurns([&] {
    while (!joined) hostLink->Service(2);
  });
  pair.guest = EnetLink::Join("127.0.0.1:" + std::to_string(port), error, times);
  joined = true;
  hostTurns.join();
  EXPECT_NE(pair.guest, nullptr) << error;
  if (pair.guest) {
    EXPECT_TRUE(PumpUntil({hostLink, pair.guest.get()}, [&] { return hostLink->Connected(); }));
  }
  return pair;
}

// Sends `count` numbered messages each way, a few a frame, and checks both ends get them
// all, whole and in order.
void ExchangeBothWays(EnetLink& host, EnetLink& guest, int count, double seconds) {
  int sent = 0, toHost = 0, toGuest = 0;
  auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
  while ((toHost < count || toGuest < count) && Clock::now() < deadline) {
    for (int i = 0; i < 10 && sent < count; ++i, ++sent) {
      host.Send(NumberedMessage(sent));
      guest.Send(NumberedMessage(sent));
    }
    host.Service(1);
    guest.Service(1);
    while (auto message = host.Receive()) ASSERT_EQ(*message, NumberedMessage(toHost++));
    while (auto message = guest.Receive()) ASSERT_EQ(*message, NumberedMessage(toGuest++));
  }
  EXPECT_EQ(toHost, count);
  EXPECT_EQ(toGuest, count);
}

TEST(EnetLink, HostAndGuestTalkBothWaysInOrderAndRefuseOversizedMessages) {
  Pair pair = Connect();
  ASSERT_TRUE(pair.guest);
  EXPECT_TRUE(pair.guest->Connected());
  ExchangeBothWays(*pair.host, *pair.guest, 200, 5);
  EXPECT_GE(pair.guest->RoundTripMs(), 0);
  EXPECT_LT(pair.guest->RoundTripMs(), 100);

  // Too large for any message: dropped and counted, and what follows still comes.
  std::vector<uint8_t> huge(kNetMaxMessageBytes + 1, 9);
  pair.guest->Send(huge);
  pair.guest->Send(NumberedMessage(5));
  EXPECT_EQ(pair.guest->OversizedDropped(), 1);
  std::optional<std::vector<uint8_t>> next;
  EXPECT_TRUE(PumpUntil({pair.host.get(), pair.guest.get()},
                        [&] { return (next = pair.host->Receive()).has_value(); }));
  EXPECT_EQ(next, NumberedMessage(5));

  // The largest message there may be still goes through.
  std::vector<uint8_t> largest(kNetMaxMessageBytes, 3);
  pair.host->Send(largest);
  EXPECT_TRUE(PumpUntil({pair.host.get(), pair.guest.get()},
                        [&] { return (next = pair.guest->Receive()).has_value(); }));
  EXPECT_EQ(next, largest);

  // A guest that leaves is gone for the host at once, not after the silence.
  pair.guest.reset();
  EXPECT_TRUE(PumpUntil(
      {pair.host.get()}, [&] { return !pair.host->Connected(); }, 2));
  EXPECT_EQ(pair.host->Ended(), "the other player is gone");
  EXPECT_LT(pair.host->RoundTripMs(), 0);
}

TEST(EnetLink, AHostRefusesOversizedMessagesFromAStrangerAndKeepsTheRest) {
  std::string error;
  std::unique_ptr<EnetLink> host = EnetLink::Host(0, error);
  ASSERT_NE(host, nullptr) << error;
  // A peer that is not the game: plain ENet, sending what the game never would.
  ENetHost* stranger = enet_host_create(nullptr, 1, 1, 0, 0);
  ASSERT_NE(stranger, nullptr);
  ENetAddress address{};
  enet_address_set_host_ip(&address, "127.0.0.1");
  address.port = host->Port();
  ENetPeer* peer = enet_host_connect(stranger, &address, 1, 0);
  ENetEvent event;
  auto strangerTurn = [&] {
    while (enet_host_service(stranger, &event, 0) > 0) {
      if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
    }
    return false;
  };
  EXPECT_TRUE(PumpUntil({host.get()}, [&] { return strangerTurn() || host->Connected(); }));
  for (size_t size : {kNetMaxMessageBytes + 1, size_t{4}}) {
    std::vector<uint8_t> bytes(size, 7);
    enet_peer_send(peer, 0, enet_packet_create(bytes.data(), size, ENET_PACKET_FLAG_RELIABLE));
  }
  std::optional<std::vector<uint8_t>> next;
  EXPECT_TRUE(PumpUntil({host.get()},
                        [&] { return strangerTurn() || (next = host->Receive()).has_value(); }));
  EXPECT_EQ(next, std::vector<uint8_t>(4, 7));
  EXPECT_EQ(host->OversizedDropped(), 1);
  EXPECT_EQ(host->Receive(), std::nullopt);
  enet_host_destroy(stranger);
}

TEST(EnetLink, ALatecomerIsRefusedAtOnceWhileTheFirstGuestPlaysOn) {
  Pair pair = Connect();
  ASSERT_TRUE(pair.guest);
  std::string error;
  std::unique_ptr<EnetLink> late;
  std::thread hostTurns([&] {
    for (int i = 0; i < 200 && !late; ++i) pair.host->Service(2);
  });
  late = EnetLink::Join("127.0.0.1:" + std::to_string(pair.host->Port()), error);
  hostTurns.join();
  ASSERT_NE(late, nullptr) << error;
  EXPECT_TRUE(PumpUntil(
      {pair.host.get(), late.get()}, [&] { return !late->Connected(); }, 2));
  EXPECT_EQ(late->Ended(), "the host already has a player");
  late->Send(NumberedMessage(1));
  EXPECT_TRUE(pair.host->Connected());
  EXPECT_TRUE(pair.guest->Connected());
  ExchangeBothWays(*pair.host, *pair.guest, 50, 5);
}

TEST(EnetLink, ConnectionTroublesAreToldInPlainWords) {
  std::string error;
  std::unique_ptr<EnetLink> first = EnetLink::Host(0, error);
  ASSERT_NE(first, nullptr) << error;
  uint16_t port = first->Port();
  EXPECT_EQ(EnetLink::Host(port, error), nullptr);
  EXPECT_EQ(error, "port " + std::to_string(port) + " is in use");

  EXPECT_EQ(EnetLink::Join("nosuchhost.invalid", error), nullptr);
  EXPECT_EQ(error, "no such host: nosuchhost.invalid");

  // Nobody answers on a port bound but never serviced.
  EnetLinkTimes quick{.connectWaitMs = 300};
  auto start = Clock::now();
  EXPECT_EQ(EnetLink::Join("localhost:" + std::to_string(port), error, quick), nullptr);
  EXPECT_EQ(error, "no answer from localhost:" + std::to_string(port) + " in 0.3 seconds");
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));

  // Refused before any waiting, each with its reason.
  for (const char* bad : {"host:", "host:0", "host:65536", "host:12x", "host:-1"}) {
    EXPECT_EQ(EnetLink::Join(bad, error, quick), nullptr) << bad;
    EXPECT_NE(error.find("is not a port"), std::string::npos) << bad << ": " << error;
  }
  for (const char* bad : {"[::1]:5029", "::1"}) {
    EXPECT_EQ(EnetLink::Join(bad, error, quick), nullptr) << bad;
    EXPECT_NE(error.find("IPv6"), std::string::npos) << bad << ": " << error;
  }
  for (const char* bad : {"", ":5029"}) {
    EXPECT_EQ(EnetLink::Join(bad, error, quick), nullptr) << bad;
    EXPECT_NE(error.find("no host"), std::string::npos) << bad << ": " << error;
  }
  std::string name;
  uint16_t joinPort = 0;
  EXPECT_TRUE(SplitHostAndPort("example", name, joinPort, error));
  EXPECT_EQ(joinPort, kNetDefaultPort);
  EXPECT_TRUE(SplitHostAndPort("10.0.0.2:65535", name, joinPort, error));
  EXPECT_EQ(name, "10.0.0.2");
  EXPECT_EQ(joinPort, 65535);
}

TEST(EnetLink, OverABadInternetEverythingArrivesInOrderAndTheRoundTripIsMeasured) {
  std::string error;
  // A silence limit a loaded machine's scheduling cannot reach by itself while the messages
  // flow, yet short enough to end the test quickly once the line is cut.
  std::unique_ptr<EnetLink> host = EnetLink::Host(0, error, {.silenceMs = 5000});
  ASSERT_NE(host, nullptr) << error;
  UdpRelay relay(host->Port(), {.delayMs = 100,
                                .jitterMs = 5,
                                .dropRate = 0.05,
                                .duplicateRate = 0.05,
                                .reorderRate = 0.05,
                                .seed = 25});
  Pair pair = Connect({.silenceMs = 5000}, &relay, std::move(host));
  ASSERT_TRUE(pair.guest);
  ExchangeBothWays(*pair.host, *pair.guest, 300, 20);
  EXPECT_GT(relay.Dropped(), 0);
  EXPECT_GT(relay.Duplicated(), 0);
  for (EnetLink* link : {pair.host.get(), pair.guest.get()}) {
    EXPECT_GT(link->RoundTripMs(), 170);
    EXPECT_LT(link->RoundTripMs(), 300);
  }

  // Then the line goes dead: both ends count the other gone after the silence.
  relay.SetConditions({.dropRate = 1});
  auto cut = Clock::now();
  EXPECT_TRUE(PumpUntil(
      {pair.host.get(), pair.guest.get()},
      [&] { return !pair.host->Connected() && !pair.guest->Connected(); }, 8));
  // Counted from the last word heard, a round trip or so before the cut; ENet's own resends
  // would have noticed only seconds later.
  EXPECT_LT(Clock::now() - cut, std::chrono::milliseconds(6800));
  EXPECT_EQ(pair.guest->Ended(), "the other player was silent for 5 seconds");
}

}  // namespace
}  // namespace fenwhit
