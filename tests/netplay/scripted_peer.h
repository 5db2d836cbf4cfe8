#pragma once
// The other side of a network game, in memory: it answers each input this side sends with
// its own for the same frame, and each checksum with the one its script gives, on the test
// platform's virtual clock. It can come late, pause, fall silent or leave.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "netplay/net_connection.h"
#include "platform/test_platform.h"

namespace fenwhit::testing {

class ScriptedPeer final : public NetChannel {
 public:
  ScriptedPeer(TestPlatform& clock, LockstepSide ourSide, std::string name)
      : clock_(clock), ourSide_(ourSide), name_(std::move(name)) {}

  // The peer's input for a frame (empty by default).
  std::function<ReplayFrame(int64_t frame)> input = [](int64_t) { return ReplayFrame{}; };
  // Its checksum before a frame, given ours (a copy by default).
  std::function<uint64_t(int64_t frame, uint64_t ours)> checksum = [](int64_t, uint64_t ours) {
    return ours;
  };
  // Its answer to this frame's input comes this late, and what follows waits behind it.
  int64_t lateFrame = -1;
  double lateSeconds = 0.0;
  // It pauses when this frame's input comes, for this long.
  int64_t pauseFrame = -1;
  double pauseSeconds = 0.0;
  // From this frame's input on it says nothing more.
  int64_t silentFrom = -1;
  // It leaves when this frame's input comes: its player's Esc (no reason), or a failure
  // it found.
  int64_t leaveFrame = -1;
  std::string leaveWhy;
  // Its own input delay: the frames before it carry no input, and are not sent.
  int64_t firstInputFrame = 0;

  // Everything this side sent, in order.
  std::vector<NetMessage> sent;
  double lastInputAt = 0.0;

  // The host's start, sent at once.
  void SendStart(NetGameStart start) { Queue(std::move(start), 0.0); }

  void Send(const NetMessage& message) override {
    sent.push_back(message);
    unread_.push_back(message);
  }
  std::optional<NetMessage> Receive() override {
    if (inbox_.empty()) return std::nullopt;
    NetMessage message = std::move(inbox_.front());
    inbox_.pop_front();
    return message;
  }

  void Service(int waitMs) {
    if (waitMs > 0) clock_.SleepMs(waitMs);
    const double now = clock_.Now();
    while (!unread_.empty()) {
      Answer(unread_.front(), now);
      unread_.pop_front();
    }
    if (silent_) return;
    if (pausedAt_ >= 0 && now - pausedAt_ >= pauseSeconds) {
      pausedAt_ = -1.0;
      paused_ = false;
      Queue(NetPause{false}, 0.0);
    }
    if (now - lastPing_ >= 1.0) {
      lastPing_ = now;
      Queue(NetPing{1, false}, 0.0);
    }
    // In order, as the link keeps it: a late message holds back what follows.
    while (!outbox_.empty() && outbox_.front().due <= now) {
      inbox_.push_back(std::move(outbox_.front().message));
      outbox_.pop_front();
    }
  }

  // The connection the game is given; this peer stays the test's.
  class Connection final : public NetConnection {
   public:
    explicit Connection(ScriptedPeer& peer) : peer_(peer) {}
    NetChannel& Channel() override { return peer_; }
    void Service(int waitMs) override { peer_.Service(waitMs); }
    bool Connected() const override { return peer_.connected; }
    double RoundTripMs() const override { return 20.0; }
    LockstepSide Side() const override { return peer_.ourSide_; }
    const std::string& PeerName() const override { return peer_.name_; }

   private:
    ScriptedPeer& peer_;
  };
  bool connected = true;

 private:
  struct Outgoing {
    NetMessage message;
    double due;
  };

  void Queue(NetMessage message, double delay) {
    const double due = clock_.Now() + delay;
    outbox_.push_back({std::move(message), due});
  }

  void Answer(const NetMessage& message, double now) {
    if (const auto* inputs = std::get_if<NetInputs>(&message)) {
      for (size_t i = 0; i < inputs->frames.size(); ++i) {
        const int64_t frame = inputs->firstFrame + static_cast<int64_t>(i);
        // Inputs come again in later messages: each frame is answered once.
        if (frame <= answered_) continue;
        answered_ = frame;
        if (silentFrom >= 0 && frame >= silentFrom) silent_ = true;
        if (silent_) return;
        lastInputAt = now;
        if (frame >= firstInputFrame) {
          Queue(NetInputs{frame, {input(frame)}}, frame == lateFrame ? lateSeconds : 0.0);
        }
        if (frame == leaveFrame) Queue(NetGameEnd{leaveWhy}, 0.0);
        if (frame == pauseFrame) {
          paused_ = true;
          pausedAt_ = now;
          Queue(NetPause{true}, 0.0);
        }
      }
    } else if (const auto* sum = std::get_if<NetChecksum>(&message)) {
      if (!silent_) Queue(NetChecksum{sum->frame, checksum(sum->frame, sum->value)}, 0.0);
    } else if (const auto* ping = std::get_if<NetPing>(&message)) {
      if (!silent_ && !ping->reply) Queue(NetPing{ping->sentMicroseconds, true}, 0.0);
    } else if (const auto* pause = std::get_if<NetPause>(&message)) {
      // It follows this side's pause, as the other game does.
      if (pause->paused != paused_) {
        paused_ = pause->paused;
        pausedAt_ = -1.0;
        Queue(NetPause{paused_}, 0.0);
      }
    }
  }

  TestPlatform& clock_;
  LockstepSide ourSide_;
  std::string name_;
  std::deque<NetMessage> unread_;
  std::deque<Outgoing> outbox_;
  std::deque<NetMessage> inbox_;
  bool silent_ = false;
  int64_t answered_ = -1;  // the last frame of this side's inputs answered
  bool paused_ = false;
  double pausedAt_ = -1.0;
  double lastPing_ = -1.0;
};

}  // namespace fenwhit::testing
