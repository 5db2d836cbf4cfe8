// Two sides of a network game joined in memory, driven frame by frame as the frame loop
// drives them, over links that delay, reorder and stall what they carry.
#include "net/lockstep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <variant>
#include <vector>

#include "net/merged_frame.h"
#include "platform/platform.h"

namespace fenwhit {
namespace {

constexpr double kTick = 1.0 / 60;

ReplayFrame Keys(std::initializer_list<int> codes, int32_t buttons = 0, int32_t beats = 0) {
  ReplayFrame frame;
  for (int code : codes) frame.keys[code / 64] |= uint64_t{1} << (code % 64);
  frame.mouseButtons = buttons;
  frame.beats = beats;
  return frame;
}

// Keys held for stretches of frames, as players hold them; the host's beats on the beat.
ReplayFrame Played(LockstepSide side, int64_t frame) {
  const int64_t phase = frame % 90;
  if (side == LockstepSide::kHost) {
    return Keys({phase < 30 ? scan::kUp : scan::kDown}, phase > 70 ? 2 : 0, frame % 28 == 0);
  }
  return Keys({phase < 50 ? scan::kK : scan::kS}, phase < 5 ? 1 : 0);
}

// One way of the link: each message arrives after the delay, every third one a little
// later still (so the next overtakes it); nothing arrives while stalled. Inputs, sent
// unreliably, may be lost: some at random, all of them while the line drops them.
struct Way {
  double delay = 0;
  double stalledUntil = 0;
  int sent = 0;
  std::multimap<double, NetMessage> inFlight;  // by arrival, in sending order at a tie
  double inputLossRate = 0;
  double inputsLostUntil = 0;
  uint32_t random = 12345;

  bool LosesInputs(double now) {
    random = random * 1664525u + 1013904223u;
    return now < inputsLostUntil || (random >> 8) < inputLossRate * (1u << 24);
  }
};

class MemoryChannel : public NetChannel {
 public:
  MemoryChannel(const double& now, Way& out, Way& in) : now_(now), out_(out), in_(in) {}
  void Send(const NetMessage& message) override {
    if (std::holds_alternative<NetInputs>(message) && out_.LosesInputs(now_)) return;
    const double late = ++out_.sent % 3 == 0 ? 0.02 : 0;
    out_.inFlight.emplace(now_ + out_.delay + late, message);
  }
  std::optional<NetMessage> Receive() override {
    auto first = in_.inFlight.begin();
    if (now_ < in_.stalledUntil || first == in_.inFlight.end() || first->first > now_) return {};
    NetMessage message = first->second;
    in_.inFlight.erase(first);
    return message;
  }

 private:
  const double& now_;
  Way& out_;
  Way& in_;
};

struct Side {
  LockstepSide side;
  MemoryChannel channel;
  Lockstep engine;
  std::vector<ReplayFrame> ran;
  uint64_t state = 1469598103934665603u;
  uint64_t spoilChecksumAt = ~uint64_t{0};
  bool frozen = false;
  // Before its game starts a side lets go of all that comes, as the menu does.
  double startsAt = 0;
  int inputDelay;

  Side(LockstepSide s, const double& now, Way& out, Way& in, int delay, const char* peer)
      : side(s), channel(now, out, in), engine(channel, s, delay, peer), inputDelay(delay) {}

  // One pass of the frame loop.
  void Tick(double now) {
    if (frozen) return;
    if (now < startsAt) {
      while (channel.Receive()) {
      }
      return;
    }
    engine.Update(now);
    if (engine.WantsChecksum()) {
      engine.GiveChecksum(state + (engine.NextFrame() == int64_t(spoilChecksumAt)));
    }
    if (engine.WantsLocalInput()) {
      engine.GiveLocalInput(Played(side, engine.NextFrame() + inputDelay));
    }
    if (std::optional<ReplayFrame> frame = engine.TakeFrame(now)) {
      ran.push_back(*frame);
      state = (state ^ frame->keys[0] ^ frame->keys[1] ^ uint64_t(frame->beats)) * 1099511628211u;
    }
  }
};

struct Game {
  double now = 0;
  Way toGuest, toHost;
  int delay;
  Side host, guest;

  explicit Game(double oneWayMs)
      : delay(ChooseInputDelay(2 * oneWayMs)),
        host(LockstepSide::kHost, now, toGuest, toHost, delay, "GUEST"),
        guest(LockstepSide::kGuest, now, toHost, toGuest, delay, "HOST") {
    toGuest.delay = toHost.delay = oneWayMs / 1000;
  }
  void Run(int ticks) {
    for (int i = 0; i < ticks; ++i) {
      now += kTick;
      host.Tick(now);
      guest.Tick(now);
    }
  }
  // Both ran the same frames, each the merge of what the two players gave for it.
  void ExpectAgreement() const {
    const size_t common = std::min(host.ran.size(), guest.ran.size());
    for (size_t n = 0; n < common; ++n) {
      const bool empty = int64_t(n) < delay;
      const ReplayFrame expected =
          empty ? ReplayFrame{}
                : MergeFrames(Played(LockstepSide::kHost, n), Played(LockstepSide::kGuest, n));
      ASSERT_EQ(host.ran[n], expected) << "frame " << n;
      ASSERT_EQ(guest.ran[n], expected) << "frame " << n;
    }
  }
};

TEST(Lockstep, BothSidesRunTheSameFramesWhateverTheDelay) {
  for (double oneWayMs : {0.0, 40.0, 100.0, 250.0}) {
    SCOPED_TRACE(oneWayMs);
    Game game(oneWayMs);
    game.Run(600);
    game.ExpectAgreement();
    EXPECT_FALSE(game.host.engine.Ended() || game.guest.engine.Ended());
    // Never held while the delay covers the way there; at the largest it no longer does.
    EXPECT_GE(game.host.ran.size(), oneWayMs < 250 ? 599u : 500u);
    EXPECT_GE(game.guest.ran.size(), oneWayMs < 250 ? 599u : 500u);
  }
}

TEST(Lockstep, InputDelayCoversTheWayThere) {
  EXPECT_EQ(ChooseInputDelay(0), 2);
  EXPECT_EQ(ChooseInputDelay(1), 2);  // a LAN
  EXPECT_EQ(ChooseInputDelay(80), 4);
  EXPECT_EQ(ChooseInputDelay(200), 8);
  EXPECT_EQ(ChooseInputDelay(500), 15);
  EXPECT_EQ(ChooseInputDelay(1e12), 15);
  EXPECT_EQ(ChooseInputDelay(-1), 2);  // not measured yet
  EXPECT_EQ(ChooseInputDelay(std::nan("")), 2);
}

TEST(Lockstep, ALateInputHoldsBothGames) {
  Game game(20);
  game.Run(100);
  game.toHost.stalledUntil = game.now + 2.5;
  game.Run(20);
  const size_t hostHeldAt = game.host.ran.size();
  const size_t guestHeldAt = game.guest.ran.size();
  game.Run(10);
  EXPECT_EQ(game.host.engine.Notice(game.now), "");
  game.Run(30);
  EXPECT_EQ(game.host.engine.Notice(game.now), "WAITING FOR GUEST");
  EXPECT_EQ(game.guest.engine.Notice(game.now), "WAITING FOR HOST");
  // Neither ran on while the guest's inputs were held up, nor past what the other gave.
  EXPECT_EQ(game.host.ran.size(), hostHeldAt);
  EXPECT_EQ(game.guest.ran.size(), guestHeldAt);
  EXPECT_LE(game.guest.ran.size(), game.host.ran.size() + game.delay + 1);
  // A pause while held is no wait; the wait starts again after it.
  game.host.engine.SetLocalPause(true);
  game.Run(1);
  EXPECT_EQ(game.host.engine.Notice(game.now), "");
  game.host.engine.SetLocalPause(false);
  game.Run(20);
  EXPECT_EQ(game.host.engine.Notice(game.now), "");
  game.Run(15);
  EXPECT_EQ(game.host.engine.Notice(game.now), "WAITING FOR GUEST");
  game.Run(120);
  EXPECT_GT(game.host.ran.size(), hostHeldAt + 30);
  EXPECT_EQ(game.host.engine.Notice(game.now), "");
  game.ExpectAgreement();
}

// Inputs travel unreliably: a fifth of them lost, all of them for a while, and all the host
// sends before the guest has started let go. Both still run the same frames, held little.
TEST(Lockstep, LostInputsAndThoseSentBeforeThePeerStartedAreMadeGood) {
  for (double oneWayMs : {40.0, 100.0}) {
    SCOPED_TRACE(oneWayMs);
    Game game(oneWayMs);
    game.toGuest.inputLossRate = game.toHost.inputLossRate = 0.2;
    game.guest.startsAt = 0.5;
    game.Run(300);
    // Whatever either sends for a while is lost: both are held, each waiting for the other.
    game.toGuest.inputsLostUntil = game.toHost.inputsLostUntil = game.now + 0.3;
    game.Run(300);
    game.ExpectAgreement();
    EXPECT_FALSE(game.host.engine.Ended() || game.guest.engine.Ended());
    // 600 ticks less the guest's late start, the outage and its way back (about 550 with
    // no loss at all), and a frame or so now and then when the newest input was lost.
    EXPECT_GE(game.host.ran.size(), 490u);
    EXPECT_GE(game.guest.ran.size(), 490u);
  }
}

TEST(Lockstep, ChecksumsThatDifferEndBothGames) {
  for (bool spoilOnHost : {false, true}) {
    Game game(40);
    (spoilOnHost ? game.host : game.guest).spoilChecksumAt = 120;
    for (int i = 0; i < 400 && !(game.host.engine.Ended() && game.guest.engine.Ended()); ++i) {
      game.Run(1);
      EXPECT_LE(game.host.ran.size(), 180u);
      EXPECT_LE(game.guest.ran.size(), 180u);
    }
    EXPECT_EQ(game.host.engine.EndWord(), "the games went apart at frame 120");
    EXPECT_EQ(game.guest.engine.EndWord(), "the games went apart at frame 120");
    game.ExpectAgreement();
  }
}

TEST(Lockstep, EitherPlayersPauseHoldsBoth) {
  for (bool hostPauses : {true, false}) {
    Game game(40);
    Side& pauser = hostPauses ? game.host : game.guest;
    Side& other = hostPauses ? game.guest : game.host;
    game.Run(100);
    pauser.engine.SetLocalPause(true);
    game.Run(20);
    const size_t pausedAt = game.host.ran.size() + game.guest.ran.size();
    EXPECT_TRUE(pauser.engine.LocallyPaused() && other.engine.PeerPaused());
    EXPECT_FALSE(other.engine.LocallyPaused() || pauser.engine.PeerPaused());
    game.Run(60 * 20);  // longer than silence, but both still there
    EXPECT_EQ(game.host.ran.size() + game.guest.ran.size(), pausedAt);
    EXPECT_FALSE(game.host.engine.Ended() || game.guest.engine.Ended());
    EXPECT_EQ(other.engine.Notice(game.now), "");
    pauser.engine.SetLocalPause(false);
    game.Run(60);
    EXPECT_GT(game.host.ran.size(), pausedAt / 2 + 40);
    EXPECT_FALSE(other.engine.PeerPaused());
    game.ExpectAgreement();
  }
}

TEST(Lockstep, APeerSilentForTenSecondsEndsTheGame) {
  Game game(40);
  game.Run(100);
  game.guest.frozen = true;
  game.Run(int(9.8 * 60));
  EXPECT_FALSE(game.host.engine.Ended());
  EXPECT_EQ(game.host.engine.Notice(game.now), "WAITING FOR GUEST");
  game.Run(20);
  EXPECT_TRUE(game.host.engine.Ended());
  EXPECT_EQ(game.host.engine.EndWord(), "GUEST has been silent for 10 s");
  // Once it wakes, the guest ends with the host's word.
  game.guest.frozen = false;
  game.Run(60);
  EXPECT_EQ(game.guest.engine.EndWord(), "GUEST has been silent for 10 s");

  // A guest that never starts its game: the host, held from its first frames on and sending
  // its inputs again all the while, ends all the same.
  Game never(40);
  never.guest.startsAt = 1e9;
  never.Run(int(10.2 * 60));
  EXPECT_EQ(never.host.engine.EndWord(), "GUEST has been silent for 10 s");
  EXPECT_EQ(never.host.ran.size(), size_t(never.delay));
}

TEST(Lockstep, EscOnEitherSideEndsBoth) {
  Game game(100);
  game.Run(50);
  game.guest.engine.End("HOST pressed Esc");
  EXPECT_TRUE(game.guest.engine.Ended());
  game.Run(5);
  EXPECT_FALSE(game.host.engine.Ended());  // still on its way
  game.Run(5);
  EXPECT_EQ(game.host.engine.EndWord(), "HOST pressed Esc");
  const size_t ran = game.host.ran.size();
  game.Run(30);
  EXPECT_EQ(game.host.ran.size(), ran);
}

// The host against a peer that sends what no honest one does.
TEST(Lockstep, StrayMessagesChangeNothing) {
  double now = 0;
  Way toPeer, toHost;
  Side host(LockstepSide::kHost, now, toPeer, toHost, 2, "GUEST");
  auto send = [&](NetMessage message) { toHost.inFlight.emplace(now, std::move(message)); };
  const ReplayFrame right = Keys({scan::kDown}), wrong = Keys({scan::kUp}, 0, 9);
  constexpr int64_t kFar = std::numeric_limits<int64_t>::max();
  send(NetInputs{2, {right, right}});
  send(NetInputs{3, {wrong}});                                      // the same frame again
  send(NetInputs{kInputWindow - 1, {wrong, wrong, wrong, wrong}});  // on to where 2 is kept
  send(NetInputs{kFar, {wrong, wrong}});
  send(NetInputs{-kFar - 1, {wrong, wrong}});
  send(NetChecksum{kInputWindow * 60, 1});  // far ahead
  send(NetChecksum{30, 1});                 // not a checksum frame
  send(NetHello{"9.9", "x", "X"});
  send(NetGameStart{});
  for (int i = 0; i < 8; ++i) {
    now += kTick;
    host.Tick(now);
  }
  ASSERT_EQ(host.ran.size(), 4u);
  EXPECT_EQ(host.ran[2], MergeFrames(Played(LockstepSide::kHost, 2), right));
  EXPECT_EQ(host.ran[3], MergeFrames(Played(LockstepSide::kHost, 3), right));
  send(NetInputs{1, {wrong, wrong, wrong, right}});  // partly run already
  now += kTick;
  host.Tick(now);
  ASSERT_EQ(host.ran.size(), 5u);
  EXPECT_EQ(host.ran[4], MergeFrames(Played(LockstepSide::kHost, 4), right));
  send(NetGameEnd{"\x1b[2J" + std::string(500, 'z') + "\n"});
  host.Tick(now);
  EXPECT_EQ(host.engine.EndWord(), "?[2J" + std::string(76, 'z'));
}

TEST(Lockstep, MergedFrameGivesEachPlayerOnePaddle) {
  const ReplayFrame host = Keys({scan::kK, scan::kZ, scan::kEsc, scan::kP}, 0, 2);
  ReplayFrame guest = Keys({scan::kW}, 2, 5);
  guest.close = true;
  ReplayFrame expected = Keys({scan::kW, scan::kA, scan::kUp, scan::kLeft}, 0, 2);
  expected.close = true;
  EXPECT_EQ(MergeFrames(host, guest), expected);
  EXPECT_EQ(MergeFrames(Keys({scan::kDown}, 1), Keys({scan::kM})),
            Keys({scan::kS, scan::kDown, scan::kSpace}));
  EXPECT_EQ(MergeFrames(Keys({}, 0, -4), Keys({scan::kSpace})), Keys({scan::kSpace}));
}

}  // namespace
}  // namespace fenwhit
