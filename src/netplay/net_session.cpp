// The connection phase over ENet. The host waits for one player; the guest looks the name
// up on a thread and connects without waiting. Once linked, both say hello, then the host
// times a few round trips with pings the guest answers at once, chooses the input delay
// and tells the guest; the guest times the same round trips from its side, as the time
// from each answer to the host's next message.
#include "netplay/net_session.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>
#include <variant>

#include "common/seconds_text.h"
#include "keep/scores.h"
#include "net/enet_link.h"
#include "net/handshake.h"
#include "net/link_channel.h"
#include "netplay/host_lookup.h"
#include "netplay/local_addresses.h"
#include "netplay/net_test_hooks.h"

namespace fenwhit {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kLinkSilenceGraceMs = 1000;

uint64_t SteadyMicroseconds() {
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(SteadyClock::now().time_since_epoch())
          .count());
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A name the other side's hello check takes: the scores table's letters, at most its length.
std::string HelloName(const std::string& player) {
  std::string name;
  for (char c : player) {
    if (IsNameCharacter(c) && name.size() < kMaxNameLength) name += c;
  }
  return name;
}

// Before there is a link: what is sent goes nowhere and nothing comes.
class NoChannel final : public NetChannel {
 public:
  void Send(const NetMessage&) override {}
  std::optional<NetMessage> Receive() override { return std::nullopt; }
};

class EnetSession final : public NetSession {
 public:
  EnetSession(LockstepSide side, NetHello hello, const NetSessionTimes& times)
      : times_(times), side_(side), hello_(std::move(hello)) {}

  bool Listen(uint16_t port, std::string& error) {
    link_ = EnetLink::Host(port == 0 ? kNetDefaultPort : port, error, linkTimes());
    if (!link_) return false;
    channel_ = std::make_unique<LinkChannel>(*link_);
    state_ = NetSessionState::kWaitingForPlayer;
    return true;
  }

  bool BeginJoin(const std::string& address, std::string& error) {
    if (!SplitHostAndPort(address, joinName_, joinPort_, error)) return false;
    lookup_.emplace(joinName_);
    state_ = NetSessionState::kConnecting;
    return true;
  }

  void Update(double nowSeconds) override {
    switch (state_) {
      case NetSessionState::kWaitingForPlayer:
        link_->Service(0);
        if (link_->Connected()) {
          startGreeting(nowSeconds);
        } else if (!link_->Ended().empty()) {
          // One came and went between two updates; the link takes nobody after its first.
          failForLink();
        }
        break;
      case NetSessionState::kConnecting:
        connect(nowSeconds);
        break;
      case NetSessionState::kGreeting:
        greet(nowSeconds);
        break;
      case NetSessionState::kReady:
        // Keeps refusing latecomers and noticing a peer gone until the game takes over.
        link_->Service(0);
        if (!link_->Connected()) failForLink();
        break;
      case NetSessionState::kFailed:
        break;
    }
  }

  NetSessionState State() const override { return state_; }
  const std::string& Failure() const override { return failure_; }
  int InputDelay() const override { return inputDelay_; }
  uint16_t Port() const override { return link_ ? link_->Port() : 0; }
  std::vector<std::string> LocalAddresses() const override { return LocalIpv4Addresses(); }

  NetChannel& Channel() override {
    if (channel_) return *channel_;
    return noChannel_;
  }
  void Service(int waitMs) override {
    if (link_) link_->Service(waitMs);
  }
  bool Connected() const override { return link_ && link_->Connected(); }
  double RoundTripMs() const override { return roundTripMs_; }
  LockstepSide Side() const override { return side_; }
  const std::string& PeerName() const override { return peerName_; }

 private:
  EnetLinkTimes linkTimes() const {
    // The link's own limit only backs up the greeting's and the game's, which name the
    // player: it runs a second longer, as their messages are read a little after they come.
    return {.connectWaitMs = times_.connectWaitMs,
            .silenceMs = static_cast<int>(times_.silenceSeconds * 1000) + kLinkSilenceGraceMs};
  }

  void connect(double nowSeconds) {
    if (lookup_) {
      if (!lookupStartedAt_) lookupStartedAt_ = nowSeconds;
      if (!lookup_->Done()) {
        if ((nowSeconds - *lookupStartedAt_) * 1000 >= times_.connectWaitMs) {
          fail("cannot find the address of " + joinName_ + ": no answer from the name service");
        }
        return;
      }
      const std::optional<uint32_t> address = lookup_->Address();
      if (!address) {
        fail(lookup_->Error());
        return;
      }
      std::string error;
      link_ = EnetLink::StartJoin(*address, joinPort_, joinName_, error, linkTimes());
      lookup_.reset();
      if (!link_) {
        fail(error);
        return;
      }
      channel_ = std::make_unique<LinkChannel>(*link_);
    }
    link_->Service(0);
    if (link_->Connected()) {
      startGreeting(nowSeconds);
    } else if (!link_->Connecting()) {
      failForLink();
    }
  }

  void startGreeting(double nowSeconds) {
    handshake_.emplace(*channel_,
                       side_ == LockstepSide::kHost ? HandshakeSide::kHost : HandshakeSide::kGuest,
                       hello_);
    lastHeard_ = nowSeconds;
    state_ = NetSessionState::kGreeting;
    greet(nowSeconds);
  }

  void greet(double nowSeconds) {
    const auto until = SteadyClock::now() + std::chrono::milliseconds(times_.listenMs);
    int waitMs = 0;
    do {
      link_->Service(std::exchange(waitMs, 1));
      // A peer that refuses us hangs up straight after: its hello and its refusal can come
      // in the same service as the hang-up, and they say more than "gone".
      const bool gone = !link_->Connected();
      readGreeting(nowSeconds);
      if (gone) failForLink();
    } while (state_ == NetSessionState::kGreeting && SteadyClock::now() < until);
    // What was said last goes out now, a refusal included, rather than at the next update.
    link_->Service(0);
    if (state_ == NetSessionState::kGreeting && nowSeconds - lastHeard_ >= times_.silenceSeconds) {
      fail(peerLabel() + " was silent for " +
           SecondsText(static_cast<int>(times_.silenceSeconds * 1000 + 0.5)) + " seconds");
    }
  }

  void readGreeting(double nowSeconds) {
    if (handshake_->State() == HandshakeState::kWaiting) {
      handshake_->Update(nowSeconds);
      if (handshake_->State() == HandshakeState::kFailed) fail(handshake_->Failure());
      if (handshake_->State() != HandshakeState::kReady) return;
      peerName_ = handshake_->PeerName();
      lastHeard_ = nowSeconds;
    }
    if (side_ == LockstepSide::kHost) {
      timeRoundTrips(nowSeconds);
    } else {
      answerPings(nowSeconds);
    }
  }

  // The host: a ping out, its answer back, then the next, until enough are timed.
  void timeRoundTrips(double nowSeconds) {
    while (std::optional<NetMessage> message = channel_->Receive()) {
      lastHeard_ = nowSeconds;
      if (const auto* refusal = std::get_if<NetRefusal>(&*message)) {
        fail(refusal->why);
        return;
      }
      const auto* ping = std::get_if<NetPing>(&*message);
      if (ping && ping->reply && pingSentAt_ == ping->sentMicroseconds) {
        samplesMs_.push_back(static_cast<double>(SteadyMicroseconds() - *pingSentAt_) / 1000);
        pingSentAt_.reset();
      }
    }
    if (pingSentAt_) return;
    if (static_cast<int>(samplesMs_.size()) >= times_.pingRounds) {
      roundTripMs_ = Median(samplesMs_);
      inputDelay_ = ChooseInputDelay(roundTripMs_);
      channel_->Send(NetInputDelay{inputDelay_});
      state_ = NetSessionState::kReady;
      return;
    }
    pingSentAt_ = SteadyMicroseconds();
    channel_->Send(NetPing{*pingSentAt_, false});
  }

  // The guest: each ping answered at once; the host's delay ends the greeting. Whatever
  // follows it (the game start) is left for the game.
  void answerPings(double nowSeconds) {
    while (state_ == NetSessionState::kGreeting) {
      std::optional<NetMessage> message = channel_->Receive();
      if (!message) return;
      lastHeard_ = nowSeconds;
      if (answeredAt_) {
        samplesMs_.push_back(static_cast<double>(SteadyMicroseconds() - *answeredAt_) / 1000);
        answeredAt_.reset();
      }
      if (const auto* refusal = std::get_if<NetRefusal>(&*message)) {
        fail(refusal->why);
      } else if (const auto* ping = std::get_if<NetPing>(&*message); ping && !ping->reply) {
        channel_->Send(NetPing{ping->sentMicroseconds, true});
        link_->Service(0);
        answeredAt_ = SteadyMicroseconds();
      } else if (const auto* delay = std::get_if<NetInputDelay>(&*message)) {
        inputDelay_ = std::clamp(delay->frames, kMinInputDelay, kMaxInputDelay);
        roundTripMs_ = Median(samplesMs_);
        state_ = NetSessionState::kReady;
      }
    }
  }

  std::string peerLabel() const {
    return peerName_.empty() ? std::string("the other player") : peerName_;
  }

  void failForLink() { fail(link_->Ended().empty() ? "the other player is gone" : link_->Ended()); }

  void fail(std::string why) {
    if (state_ == NetSessionState::kFailed) return;
    failure_ = std::move(why);
    state_ = NetSessionState::kFailed;
  }

  NetSessionTimes times_;
  LockstepSide side_;
  NetHello hello_;
  NetSessionState state_ = NetSessionState::kFailed;
  std::string failure_;
  std::string peerName_;
  int inputDelay_ = kMinInputDelay;
  double roundTripMs_ = -1.0;

  std::string joinName_;
  uint16_t joinPort_ = 0;
  std::optional<HostLookup> lookup_;
  std::optional<double> lookupStartedAt_;

  std::unique_ptr<EnetLink> link_;
  std::unique_ptr<LinkChannel> channel_;
  NoChannel noChannel_;
  std::optional<Handshake> handshake_;
  double lastHeard_ = 0;
  std::optional<uint64_t> pingSentAt_;
  std::optional<uint64_t> answeredAt_;
  std::vector<double> samplesMs_;
};

}  // namespace

std::unique_ptr<NetSession> NetSession::Start(const NetRequest& request, const std::string& player,
                                              std::string& error, const NetSessionTimes& times) {
  NetHello hello = LocalHello(HelloName(player));
  if (std::optional<std::string> version = TestNetVersion()) hello.gameVersion = *version;
  const bool hosting = request.kind == NetRequest::Kind::kHost;
  auto session = std::make_unique<EnetSession>(hosting ? LockstepSide::kHost : LockstepSide::kGuest,
                                               std::move(hello), times);
  const bool started =
      hosting ? session->Listen(request.port, error) : session->BeginJoin(request.address, error);
  if (!started) return nullptr;
  return session;
}

}  // namespace fenwhit
