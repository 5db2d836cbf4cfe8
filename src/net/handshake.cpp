#include "net/handshake.h"

#include <utility>
#include <variant>

#include "net/rules_digest.h"

namespace fenwhit {

NetHello LocalHello(const std::string& player) {
  return NetHello{FENWHIT_VERSION, RulesDigest(), player};
}

Handshake::Handshake(NetChannel& channel, HandshakeSide side, NetHello mine)
    : channel_(channel), side_(side), mine_(std::move(mine)) {}

void Handshake::Update(double nowSeconds) {
  if (state_ != HandshakeState::kWaiting) return;
  if (!startedAt_) {
    startedAt_ = nowSeconds;
    channel_.Send(mine_);
  }
  // One message at most: whatever follows the hello (the game start) is the caller's.
  if (std::optional<NetMessage> message = channel_.Receive()) {
    take(*message);
    return;
  }
  if (nowSeconds - *startedAt_ >= kHandshakeSilenceSeconds) {
    fail("no answer from the other player in 10 seconds", false);
  }
}

void Handshake::take(const NetMessage& message) {
  if (const auto* refusal = std::get_if<NetRefusal>(&message)) {
    fail(refusal->why, false);
    return;
  }
  const auto* theirs = std::get_if<NetHello>(&message);
  if (!theirs) {
    fail("refused: the first message was not a hello", true);
    return;
  }
  if (theirs->gameVersion != mine_.gameVersion || theirs->rulesDigest != mine_.rulesDigest) {
    // Each side names the two builds from where it stands, its own first. The guest has the
    // host's hello before any refusal, so it always finds the mismatch itself too.
    fail(DescribeMismatch(mine_, *theirs), side_ == HandshakeSide::kHost);
    return;
  }
  peerName_ = theirs->player;
  state_ = HandshakeState::kReady;
}

void Handshake::fail(std::string line, bool tellPeer) {
  if (tellPeer) channel_.Send(NetRefusal{line});
  failure_ = std::move(line);
  state_ = HandshakeState::kFailed;
}

}  // namespace fenwhit
