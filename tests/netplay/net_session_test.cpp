// Two sessions in one process over loopback, stepped frame by frame as the network screen
// steps them.
#include "netplay/net_session.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "net/enet_link.h"
#include "net/handshake.h"
#include "net/link_channel.h"
#include "support/udp_relay.h"

namespace fenwhit {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds() {
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

// A UDP socket bound on loopback; it never answers.
struct BoundSocket {
  int fd = socket(AF_INET, SOCK_DGRAM, 0);
  uint16_t port = 0;
  BoundSocket() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      port = ntohs(address.sin_port);
    }
  }
  ~BoundSocket() { close(fd); }
};

// A port nobody listens on now: the sessions never use the default one, which a game on
// this machine may hold.
uint16_t FreePort() {
  return BoundSocket().port;
}

NetRequest Hosting(uint16_t port) {
  return {NetRequest::Kind::kHost, port, ""};
}
NetRequest Joining(const std::string& address) {
  return {NetRequest::Kind::kJoin, 0, address};
}

// Updates every session until `done` holds or `seconds` pass; true if it held.
bool StepUntil(const std::vector<NetSession*>& sessions, const std::function<bool()>& done,
               double seconds = 5) {
  const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < deadline) {
    for (NetSession* session : sessions) session->Update(Seconds());
    if (done()) return true;
  }
  return false;
}

bool Settled(const NetSession& session) {
  return session.State() == NetSessionState::kReady || session.State() == NetSessionState::kFailed;
}

// A host on a free port and a guest joining it by address, both greeted to an end.
struct Meeting {
  uint16_t port = FreePort();
  std::string error;
  std::unique_ptr<NetSession> host = NetSession::Start(Hosting(port), "ANN", error);
  std::unique_ptr<NetSession> guest;

  void Join(uint16_t through = 0, const std::string& name = "BOB") {
    const uint16_t to = through != 0 ? through : port;
    guest = NetSession::Start(Joining("127.0.0.1:" + std::to_string(to)), name, error);
    ASSERT_NE(guest, nullptr) << error;
    EXPECT_TRUE(
        StepUntil({host.get(), guest.get()}, [&] { return Settled(*host) && Settled(*guest); }));
  }
};

TEST(NetSession, HostAndGuestMeetAndAThirdPlayerIsRefused) {
  Meeting meeting;
  ASSERT_NE(meeting.host, nullptr) << meeting.error;
  NetSession& host = *meeting.host;
  EXPECT_EQ(host.Port(), meeting.port);
  // Nobody comes, nothing changes.
  for (int i = 0; i < 10; ++i) host.Update(Seconds());
  EXPECT_EQ(host.State(), NetSessionState::kWaitingForPlayer);
  const std::vector<std::string> addresses = host.LocalAddresses();
  ASSERT_FALSE(addresses.empty());
  EXPECT_EQ(addresses.back().rfind("127.", 0), 0u) << addresses.back();

  meeting.Join();
  ASSERT_TRUE(meeting.guest);
  NetSession& guest = *meeting.guest;
  ASSERT_EQ(host.State(), NetSessionState::kReady) << host.Failure();
  ASSERT_EQ(guest.State(), NetSessionState::kReady) << guest.Failure();
  EXPECT_EQ(host.Side(), LockstepSide::kHost);
  EXPECT_EQ(guest.Side(), LockstepSide::kGuest);
  EXPECT_EQ(host.PeerName(), "BOB");
  EXPECT_EQ(guest.PeerName(), "ANN");
  EXPECT_EQ(host.InputDelay(), 2);
  EXPECT_EQ(guest.InputDelay(), 2);
  for (NetSession* side : {&host, &guest}) {
    EXPECT_GE(side->RoundTripMs(), 0);
    EXPECT_LT(side->RoundTripMs(), 1000.0 / 60);
  }

  // What the host sends next is the game's, and reaches it first and whole.
  const NetGameStart start{3, 77, {1, 2, 3}, host.InputDelay()};
  host.Channel().Send(start);
  std::optional<NetMessage> first;
  EXPECT_TRUE(StepUntil({&host, &guest}, [&] {
    guest.Service(1);
    return (first = guest.Channel().Receive()).has_value();
  }));
  EXPECT_EQ(first, NetMessage(start));

  // A third machine is told no at once, and the two play on.
  std::string error;
  auto third =
      NetSession::Start(Joining("localhost:" + std::to_string(meeting.port)), "CID", error);
  ASSERT_NE(third, nullptr) << error;
  EXPECT_TRUE(StepUntil(
      {&host, &guest, third.get()}, [&] { return Settled(*third); }, 3));
  EXPECT_EQ(third->State(), NetSessionState::kFailed);
  EXPECT_EQ(third->Failure(), "the host already has a player");
  EXPECT_TRUE(host.Connected() && guest.Connected());
  guest.Channel().Send(NetPause{true});
  std::optional<NetMessage> next;
  EXPECT_TRUE(StepUntil({&host, &guest}, [&] {
    host.Service(1);
    return (next = host.Channel().Receive()).has_value();
  }));
  EXPECT_EQ(next, NetMessage(NetPause{true}));
  EXPECT_EQ(host.State(), NetSessionState::kReady);

  // The guest leaves: the host notices, in words.
  meeting.guest.reset();
  EXPECT_TRUE(StepUntil(
      {&host}, [&] { return Settled(host) && !host.Connected(); }, 3));
  EXPECT_EQ(host.State(), NetSessionState::kFailed);
  EXPECT_EQ(host.Failure(), "the other player is gone");
}

TEST(NetSession, OverASlowLineBothTakeTheLongerDelayTheHostChose) {
  Meeting meeting;
  ASSERT_NE(meeting.host, nullptr) << meeting.error;
  testing::UdpRelay relay(meeting.port, {.delayMs = 40, .jitterMs = 2});
  // A name the scores table could not hold is cut to one it can, not sent to be refused.
  meeting.Join(relay.Port(), "BOB\n");
  ASSERT_TRUE(meeting.guest);
  NetSession& host = *meeting.host;
  NetSession& guest = *meeting.guest;
  ASSERT_EQ(host.State(), NetSessionState::kReady) << host.Failure();
  ASSERT_EQ(guest.State(), NetSessionState::kReady) << guest.Failure();
  EXPECT_EQ(host.PeerName(), "BOB");
  for (NetSession* side : {&host, &guest}) {
    EXPECT_GT(side->RoundTripMs(), 75);
    EXPECT_LT(side->RoundTripMs(), 140);
  }
  EXPECT_EQ(host.InputDelay(), ChooseInputDelay(host.RoundTripMs()));
  EXPECT_GE(host.InputDelay(), 4);
  EXPECT_EQ(guest.InputDelay(), host.InputDelay());
}

TEST(NetSession, AnotherVersionIsRefusedOnBothSidesNamingBoth) {
  Meeting meeting;
  ASSERT_NE(meeting.host, nullptr) << meeting.error;
  setenv("FENWHIT_TEST_NET_VERSION", "0.0.1", 1);
  meeting.Join();
  unsetenv("FENWHIT_TEST_NET_VERSION");
  ASSERT_TRUE(meeting.guest);
  const std::string ours = LocalHello("ANN").gameVersion;
  for (NetSession* side : {meeting.host.get(), meeting.guest.get()}) {
    EXPECT_EQ(side->State(), NetSessionState::kFailed);
    EXPECT_NE(side->Failure().find(ours), std::string::npos) << side->Failure();
    EXPECT_NE(side->Failure().find("0.0.1"), std::string::npos) << side->Failure();
  }

  // A host that refuses hangs up at once, while the guest's machine is busy for longer than
  // a frame: the refusal must still reach it, and it names both builds, not "gone".
  std::string error;
  std::unique_ptr<EnetLink> older = EnetLink::Host(FreePort(), error);
  ASSERT_NE(older, nullptr) << error;
  auto guest = NetSession::Start(Joining("127.0.0.1:" + std::to_string(older->Port())), "BOB", error);
  ASSERT_NE(guest, nullptr) << error;
  EXPECT_TRUE(StepUntil({guest.get()}, [&] {
    older->Service(1);
    return older->Connected() && guest->State() == NetSessionState::kGreeting;
  }));
  LinkChannel said(*older);
  said.Send(NetHello{"0.0.1", LocalHello("ANN").rulesDigest, "ANN"});
  said.Send(NetRefusal{"refused"});
  std::thread busyGuest([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    StepUntil({guest.get()}, [&] { return Settled(*guest); });
  });
  older.reset();
  busyGuest.join();
  EXPECT_NE(guest->Failure().find("0.0.1"), std::string::npos) << guest->Failure();
  EXPECT_NE(guest->Failure().find(ours), std::string::npos) << guest->Failure();
}

TEST(NetSession, ConnectionTroublesAreToldInPlainWordsWithoutHoldingTheFrame) {
  std::string error;
  const uint16_t port = FreePort();
  auto first = NetSession::Start(Hosting(port), "ANN", error);
  ASSERT_NE(first, nullptr) << error;
  EXPECT_EQ(NetSession::Start(Hosting(port), "ANN", error), nullptr);
  EXPECT_EQ(error, "port " + std::to_string(port) + " is in use");

  for (const char* address : {"::1", "[::1]:5029"}) {
    EXPECT_EQ(NetSession::Start(Joining(address), "ANN", error), nullptr) << address;
    EXPECT_NE(error.find("IPv4 only"), std::string::npos) << error;
  }

  // A peer that connects and never says a word.
  auto quiet = NetSession::Start(Hosting(FreePort()), "ANN", error, {.silenceSeconds = 1.5});
  ASSERT_NE(quiet, nullptr) << error;
  std::unique_ptr<EnetLink> mute =
      EnetLink::StartJoin(htonl(INADDR_LOOPBACK), quiet->Port(), "mute", error);
  ASSERT_NE(mute, nullptr) << error;
  EXPECT_TRUE(StepUntil({quiet.get()}, [&] {
    mute->Service(0);
    while (mute->Receive()) {
    }
    return Settled(*quiet);
  }));
  EXPECT_EQ(quiet->Failure(), "the other player was silent for 1.5 seconds");

  // One who comes and goes before the host's next update leaves it failed, not waiting for
  // a player its link would no longer take.
  auto left = NetSession::Start(Hosting(FreePort()), "ANN", error);
  ASSERT_NE(left, nullptr) << error;
  std::unique_ptr<EnetLink> passing =
      EnetLink::StartJoin(htonl(INADDR_LOOPBACK), left->Port(), "passing", error);
  ASSERT_NE(passing, nullptr) << error;
  EXPECT_TRUE(StepUntil({}, [&] {
    left->Service(1);
    passing->Service(1);
    return passing->Connected();
  }));
  passing.reset();
  for (int i = 0; i < 20; ++i) left->Service(1);
  left->Update(Seconds());
  EXPECT_EQ(left->State(), NetSessionState::kFailed);
  EXPECT_EQ(left->Failure(), "the other player is gone");

  // Neither the name's lookup nor the wait for an answer holds an update up.
  BoundSocket silent;
  const NetSessionTimes quick{.connectWaitMs = 1500};
  auto unknown = NetSession::Start(Joining("nosuchhost.invalid"), "ANN", error, quick);
  auto unanswered =
      NetSession::Start(Joining("127.0.0.1:" + std::to_string(silent.port)), "ANN", error, quick);
  ASSERT_TRUE(unknown && unanswered) << error;
  Clock::duration longest{};
  const auto start = Clock::now();
  EXPECT_TRUE(StepUntil(
      {unknown.get(), unanswered.get()},
      [&] {
        const auto before = Clock::now();
        unanswered->Update(Seconds());
        longest = std::max(longest, Clock::now() - before);
        return Settled(*unknown) && Settled(*unanswered);
      },
      8));
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(1400));
  EXPECT_LT(longest, std::chrono::milliseconds(500));
  EXPECT_EQ(unknown->State(), NetSessionState::kFailed);
  EXPECT_EQ(unknown->Failure(), "no such host: nosuchhost.invalid");
  EXPECT_EQ(unanswered->State(), NetSessionState::kFailed);
  EXPECT_EQ(unanswered->Failure(),
            "no answer from 127.0.0.1:" + std::to_string(silent.port) + " in 1.5 seconds");
}

TEST(NetSession, AWaitingHostShrugsOffAFloodOfGarbageAndStillTakesAPlayer) {
  Meeting meeting;
  ASSERT_NE(meeting.host, nullptr) << meeting.error;
  BoundSocket flooder;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  to.sin_port = htons(meeting.port);
  std::mt19937 random(29);
  std::vector<uint8_t> datagram;
  for (int burst = 0; burst < 50; ++burst) {
    for (int i = 0; i < 60; ++i) {
      datagram.resize(random() % 1500);
      for (uint8_t& byte : datagram) byte = static_cast<uint8_t>(random());
      // Some are well-formed requests to connect, each from a new stranger who never
      // finishes: the peer id unset, the connect command, one channel.
      if (i % 3 == 0) {
        datagram.resize(50);
        datagram[0] = 0x0f;
        datagram[1] = 0xff;
        datagram[2] = 0x82;
        std::fill(datagram.begin() + 18, datagram.begin() + 22, 0);
        datagram[21] = 1;
      }
      sendto(flooder.fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to),
             sizeof to);
    }
    meeting.host->Update(Seconds());
  }
  for (int i = 0; i < 20; ++i) meeting.host->Update(Seconds());
  EXPECT_EQ(meeting.host->State(), NetSessionState::kWaitingForPlayer);
  meeting.Join();
  ASSERT_TRUE(meeting.guest);
  EXPECT_EQ(meeting.host->State(), NetSessionState::kReady) << meeting.host->Failure();
  EXPECT_EQ(meeting.guest->State(), NetSessionState::kReady) << meeting.guest->Failure();
}

}  // namespace
}  // namespace fenwhit
