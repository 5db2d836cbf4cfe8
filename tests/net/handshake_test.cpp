#include "net/handshake.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/enet_link.h"
#include "net/link_channel.h"
#include "net/rules_digest.h"

namespace fenwhit {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds() {
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

// A host on a free loopback port and a guest joined to it.
struct LinkedPair {
  std::unique_ptr<EnetLink> host, guest;
};

LinkedPair Link() {
  std::string error;
  LinkedPair pair;
  pair.host = EnetLink::Host(0, error);
  EXPECT_NE(pair.host, nullptr) << error;
  if (!pair.host) return pair;
  // The host answers only while it is serviced.
  std::atomic<bool> joined{false};
  EnetLink* host = pair.host.get();
  std::thread hostTurns([&] {
    while (!joined) host->Service(2);
  });
  pair.guest = EnetLink::Join("127.0.0.1:" + std::to_string(host->Port()), error);
  joined = true;
  hostTurns.join();
  EXPECT_NE(pair.guest, nullptr) << error;
  // A host sends nothing until it has taken the guest in: the game starts the handshake then.
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (pair.guest && !host->Connected() && Clock::now() < deadline) {
    host->Service(1);
    pair.guest->Service(1);
  }
  EXPECT_TRUE(host->Connected());
  return pair;
}

// Both handshakes stepped as the game steps them, frame by frame, until neither waits.
struct Meeting {
  LinkedPair links = Link();
  LinkChannel hostChannel{*links.host};
  LinkChannel guestChannel{*links.guest};
  Handshake host;
  Handshake guest;

  Meeting(NetHello hostHello, NetHello guestHello)
      : host(hostChannel, HandshakeSide::kHost, std::move(hostHello)),
        guest(guestChannel, HandshakeSide::kGuest, std::move(guestHello)) {}

  void Run() {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline && (host.State() == HandshakeState::kWaiting ||
                                       guest.State() == HandshakeState::kWaiting)) {
      links.host->Service(1);
      links.guest->Service(1);
      host.Update(Seconds());
      guest.Update(Seconds());
    }
  }
};

TEST(Handshake, OverRealLinksPlayersMeetOrAreRefusedWithOneLineNamingBothBuilds) {
  {
    Meeting meeting(LocalHello("ANNA"), LocalHello("BEN"));
    ASSERT_TRUE(meeting.links.guest);
    meeting.Run();
    ASSERT_EQ(meeting.host.State(), HandshakeState::kReady) << meeting.host.Failure();
    ASSERT_EQ(meeting.guest.State(), HandshakeState::kReady) << meeting.guest.Failure();
    EXPECT_EQ(meeting.host.PeerName(), "BEN");
    EXPECT_EQ(meeting.guest.PeerName(), "ANNA");
  }
  // Another compiler's rules: both sides end with the line, each naming itself first.
  NetHello other = LocalHello("BEN");
  other.rulesDigest = other.gameVersion + " riscv64 gcc 99.1.0 fused-fp";
  {
    Meeting meeting(LocalHello("ANNA"), other);
    ASSERT_TRUE(meeting.links.guest);
    meeting.Run();
    ASSERT_EQ(meeting.host.State(), HandshakeState::kFailed);
    ASSERT_EQ(meeting.guest.State(), HandshakeState::kFailed);
    EXPECT_EQ(meeting.host.Failure(), DescribeMismatch(LocalHello("ANNA"), other));
    EXPECT_EQ(meeting.guest.Failure(), DescribeMismatch(other, LocalHello("ANNA")));
    for (const std::string& line : {meeting.host.Failure(), meeting.guest.Failure()}) {
      EXPECT_NE(line.find("riscv64 gcc 99.1.0"), std::string::npos) << line;
      EXPECT_NE(line.find(RulesDigest().substr(other.gameVersion.size() + 1)), std::string::npos)
          << line;
    }
    EXPECT_EQ(meeting.host.PeerName(), "");
  }
  // Another version, same arithmetic: refused too.
  NetHello older = LocalHello("BEN");
  older.gameVersion = "0.0.1";
  {
    Meeting meeting(older, LocalHello("ANNA"));
    meeting.Run();
    EXPECT_EQ(meeting.host.State(), HandshakeState::kFailed);
    EXPECT_EQ(meeting.guest.State(), HandshakeState::kFailed);
    EXPECT_NE(meeting.guest.Failure().find("0.0.1"), std::string::npos);
  }
}

TEST(Handshake, GarbageOnTheLinkIsDroppedAndCountedAndTheMeetingStillHappens) {
  Meeting meeting(LocalHello("ANNA"), LocalHello("BEN"));
  ASSERT_TRUE(meeting.links.guest);
  const std::vector<uint8_t> garbage = {'n', 'o', 't', 0, 1, 2, 3};
  meeting.links.guest->Send(garbage);
  std::vector<uint8_t> cut = EncodeNetMessage(NetPause{true});
  cut.pop_back();
  meeting.links.guest->Send(cut);
  meeting.Run();
  EXPECT_EQ(meeting.host.State(), HandshakeState::kReady) << meeting.host.Failure();
  EXPECT_EQ(meeting.guest.State(), HandshakeState::kReady);
  EXPECT_EQ(meeting.host.PeerName(), "BEN");
  EXPECT_EQ(meeting.hostChannel.Dropped(), 2);
  EXPECT_EQ(meeting.hostChannel.FirstDropReason(), "not a game message");
  EXPECT_EQ(meeting.guestChannel.Dropped(), 0);
  EXPECT_EQ(meeting.guestChannel.FirstDropReason(), "");
}

// Messages in memory: what one side has sent, and what the test gives it.
class MemoryChannel : public NetChannel {
 public:
  void Send(const NetMessage& message) override { sent.push_back(message); }
  std::optional<NetMessage> Receive() override {
    if (incoming.empty()) return std::nullopt;
    NetMessage message = incoming.front();
    incoming.pop_front();
    return message;
  }
  std::vector<NetMessage> sent;
  std::deque<NetMessage> incoming;
};

TEST(Handshake, OnTheCallersClockSilenceAndAWrongFirstMessageEndIt) {
  {
    MemoryChannel channel;
    Handshake guest(channel, HandshakeSide::kGuest, LocalHello("BEN"));
    guest.Update(100.0);
    guest.Update(109.9);
    EXPECT_EQ(guest.State(), HandshakeState::kWaiting);
    ASSERT_EQ(channel.sent.size(), 1u);
    EXPECT_EQ(channel.sent[0], NetMessage(LocalHello("BEN")));
    guest.Update(110.0);
    EXPECT_EQ(guest.State(), HandshakeState::kFailed);
    EXPECT_EQ(guest.Failure(), "no answer from the other player in 10 seconds");
    // A hello too late changes nothing.
    channel.incoming.push_back(LocalHello("ANNA"));
    guest.Update(111.0);
    EXPECT_EQ(guest.State(), HandshakeState::kFailed);
  }
  {
    // Inputs before any hello: refused, and the peer is told.
    MemoryChannel channel;
    Handshake host(channel, HandshakeSide::kHost, LocalHello("ANNA"));
    channel.incoming.push_back(NetInputs{});
    channel.incoming.push_back(LocalHello("BEN"));
    host.Update(0.0);
    EXPECT_EQ(host.State(), HandshakeState::kFailed);
    ASSERT_EQ(channel.sent.size(), 2u);
    EXPECT_EQ(channel.sent[1], NetMessage(NetRefusal{host.Failure()}));
  }
  {
    // A host's refusal is the guest's word; a game start after the hello is left for the game.
    MemoryChannel refused;
    Handshake guest(refused, HandshakeSide::kGuest, LocalHello("BEN"));
    refused.incoming.push_back(NetRefusal{"the host already has a player"});
    guest.Update(0.0);
    EXPECT_EQ(guest.Failure(), "the host already has a player");
    EXPECT_EQ(refused.sent.size(), 1u);

    MemoryChannel welcomed;
    Handshake ready(welcomed, HandshakeSide::kGuest, LocalHello("BEN"));
    welcomed.incoming.push_back(LocalHello("ANNA"));
    welcomed.incoming.push_back(NetGameStart{});
    ready.Update(0.0);
    EXPECT_EQ(ready.State(), HandshakeState::kReady);
    EXPECT_EQ(welcomed.incoming.size(), 1u);
  }
}

}  // namespace
}  // namespace fenwhit
