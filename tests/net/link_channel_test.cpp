// Typed messages over real ENet links on loopback: a game in lockstep over a lossy, slow
// line, and the last words of a link closed at once.
#include "net/link_channel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/enet_link.h"
#include "net/lockstep.h"
#include "platform/platform.h"
#include "support/udp_relay.h"

namespace fenwhit {
namespace {

using Clock = std::chrono::steady_clock;
using testing::RelayConditions;
using testing::UdpRelay;

double Seconds() {
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

struct Linked {
  std::unique_ptr<EnetLink> host, guest;
};

// A host and a guest joined through the relay, both taken in.
Linked Join(UdpRelay& relay, std::unique_ptr<EnetLink> host) {
  Linked links;
  links.host = std::move(host);
  std::atomic<bool> joined{false};
  std::thread hostTurns([&] {
    while (!joined) links.host->Service(2);
  });
  std::string error;
  links.guest = EnetLink::Join("127.0.0.1:" + std::to_string(relay.Port()), error);
  joined = true;
  hostTurns.join();
  EXPECT_NE(links.guest, nullptr) << error;
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (links.guest && !links.host->Connected() && Clock::now() < deadline) {
    links.host->Service(1);
    links.guest->Service(1);
  }
  EXPECT_TRUE(links.host->Connected());
  return links;
}

// Each player holds a key for a stretch of frames, then another.
ReplayFrame Held(LockstepSide side, int64_t frame) {
  ReplayFrame input;
  const int code = side == LockstepSide::kHost ? (frame % 80 < 40 ? scan::kUp : scan::kDown)
                                               : (frame % 70 < 30 ? scan::kK : scan::kM);
  input.keys[code / 64] |= uint64_t{1} << (code % 64);
  input.beats = side == LockstepSide::kHost && frame % 30 == 0;
  return input;
}

struct Player {
  LockstepSide side;
  EnetLink& link;
  LinkChannel channel{link};
  Lockstep engine;
  int delay;
  std::vector<ReplayFrame> ran;
  double heldSeconds = 0;

  Player(LockstepSide s, EnetLink& l, int d)
      : side(s),
        link(l),
        engine(channel, s, d, s == LockstepSide::kHost ? "GUEST" : "HOST"),
        delay(d) {}

  // One pass of the frame loop, as the game makes it: the link is serviced only while the
  // frame waits for the peer.
  void Tick(size_t frames) {
    if (ran.size() >= frames) {
      link.Service(0);
      engine.Update(Seconds());
      return;
    }
    const double heldFrom = Seconds();
    const auto until = Clock::now() + std::chrono::milliseconds(15);
    for (bool done = TryFrame(); !done && Clock::now() < until; done = TryFrame()) {
      link.Service(1);
      engine.Update(Seconds());
    }
    heldSeconds += Seconds() - heldFrom;
  }

  bool TryFrame() {
    if (engine.WantsChecksum()) engine.GiveChecksum(ran.size());
    if (engine.WantsLocalInput()) engine.GiveLocalInput(Held(side, engine.NextFrame() + delay));
    std::optional<ReplayFrame> frame = engine.TakeFrame(Seconds());
    if (frame) ran.push_back(*frame);
    return frame.has_value();
  }
};

// Over 100 ms each way with 5 % lost, doubled and overtaken, a lost datagram holds the game
// up only when it carried the newest input: the next one carries it again.
TEST(LinkChannel, ALockstepGameOverALossySlowLineIsHeldLittleAndRunsAlike) {
  std::string error;
  std::unique_ptr<EnetLink> host = EnetLink::Host(0, error);
  ASSERT_NE(host, nullptr) << error;
  UdpRelay relay(host->Port(), {.delayMs = 100,
                                .jitterMs = 10,
                                .dropRate = 0.05,
                                .duplicateRate = 0.05,
                                .reorderRate = 0.05,
                                .seed = 7});
  Linked links = Join(relay, std::move(host));
  ASSERT_TRUE(links.guest);
  const int delay = ChooseInputDelay(220);
  Player hostPlayer(LockstepSide::kHost, *links.host, delay);
  Player guestPlayer(LockstepSide::kGuest, *links.guest, delay);

  constexpr size_t kFrames = 360;
  const auto start = Clock::now();
  for (int tick = 1; hostPlayer.ran.size() < kFrames || guestPlayer.ran.size() < kFrames; ++tick) {
    ASSERT_LT(tick, 6 * 60 * 4) << "held for good";
    std::this_thread::sleep_until(start + tick * std::chrono::microseconds(16'667));
    hostPlayer.Tick(kFrames);
    guestPlayer.Tick(kFrames);
  }
  EXPECT_GT(relay.Dropped(), 0);
  EXPECT_FALSE(hostPlayer.engine.Ended() || guestPlayer.engine.Ended())
      << hostPlayer.engine.EndWord() << guestPlayer.engine.EndWord();
  ASSERT_EQ(hostPlayer.ran, guestPlayer.ran);
  // Both hold first for the guest's first input to come; past that, rarely.
  const double hostHeld = hostPlayer.heldSeconds * 60;
  const double guestHeld = guestPlayer.heldSeconds * 60;
  std::cout << "[ figures  ] held " << hostHeld << " and " << guestHeld << " frames' time over "
            << kFrames << " frames, input delay " << delay << std::endl;
  EXPECT_LT(hostHeld, 60);
  EXPECT_LT(guestHeld, 60);
}

// A host that refuses a guest and closes its link straight after: the refusal still reaches
// the guest, before the link counts the host gone.
TEST(LinkChannel, WhatWasSaidLastReachesThePeerWhenALinkClosesAtOnce) {
  std::string error;
  std::unique_ptr<EnetLink> host = EnetLink::Host(0, error);
  ASSERT_NE(host, nullptr) << error;
  UdpRelay relay(host->Port(), {.delayMs = 20, .seed = 3});
  Linked links = Join(relay, std::move(host));
  ASSERT_TRUE(links.guest);
  const NetRefusal refusal{"this game is 0.9.0 (abc), the other 0.0.0 (def)"};
  LinkChannel(*links.host).Send(refusal);
  std::atomic<bool> closed{false};
  std::thread guestTurns([&] {
    while (!closed) links.guest->Service(2);
  });
  links.host.reset();
  closed = true;
  guestTurns.join();
  LinkChannel guest(*links.guest);
  std::optional<NetMessage> said;
  const auto deadline = Clock::now() + std::chrono::seconds(3);
  while (!(said = guest.Receive()) && Clock::now() < deadline) links.guest->Service(2);
  ASSERT_TRUE(said);
  EXPECT_EQ(*said, NetMessage(refusal));
  EXPECT_FALSE(links.guest->Connected());
  EXPECT_EQ(links.guest->Ended(), "the other player is gone");
}

}  // namespace
}  // namespace fenwhit
