#include "net/lockstep.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

#include "net/merged_frame.h"

namespace fenwhit {

namespace {

constexpr double kFrameMs = 1000.0 / 60.0;
// A frame for the input to wait for its message, and half of one for the way's jitter.
constexpr double kMarginFrames = 1.5;
constexpr double kPingEverySeconds = 1.0;
constexpr double kResendEverySeconds = 1.0 / 60.0;
// What one inputs message carries again: from the delay and a frame behind to the delay ahead.
static_assert(2 * kMaxInputDelay + 2 <= static_cast<int>(kNetMaxInputFrames));
constexpr size_t kLongestPeerWord = 80;

// The peer's word is shown as it came: printable ASCII only, and short.
std::string fitPeerWord(const std::string& why, const std::string& peerName) {
  if (why.empty()) return peerName + " ended the game";
  std::string word = why.substr(0, kLongestPeerWord);
  for (char& c : word) {
    if (c < ' ' || c > '~') c = '?';
  }
  return word;
}

}  // namespace

int ChooseInputDelay(double roundTripMs) {
  if (!(roundTripMs > 0)) return kMinInputDelay;
  const double frames = std::ceil(roundTripMs / 2 / kFrameMs + kMarginFrames);
  if (frames >= kMaxInputDelay) return kMaxInputDelay;
  return std::max(kMinInputDelay, static_cast<int>(frames));
}

Lockstep::Lockstep(NetChannel& channel, LockstepSide side, int inputDelay, std::string peerName)
    : channel_(channel),
      side_(side),
      inputDelay_(std::clamp(inputDelay, kMinInputDelay, kMaxInputDelay)),
      peerName_(std::move(peerName)),
      nextLocalFrame_(inputDelay_) {}

void Lockstep::Update(double nowSeconds) {
  if (ended_) return;
  if (!lastHeard_) lastHeard_ = nowSeconds;
  while (std::optional<NetMessage> message = channel_.Receive()) {
    lastHeard_ = nowSeconds;
    take(*message);
    if (ended_) return;
  }
  keepAlive(nowSeconds);
  // Held: the peer may be held for the inputs it lost, so they go again.
  if (heldSince_ && nextLocalFrame_ > inputDelay_ &&
      (!inputsSentAt_ || nowSeconds - *inputsSentAt_ >= kResendEverySeconds)) {
    inputsSentAt_ = nowSeconds;
    sendInputs();
  }
  if (nowSeconds - *lastHeard_ >= kSilenceSeconds) endHere(peerName_ + " has been silent for 10 s");
}

bool Lockstep::WantsLocalInput() const {
  return !ended_ && nextLocalFrame_ <= nextFrame_ + inputDelay_;
}

void Lockstep::GiveLocalInput(const ReplayFrame& input) {
  if (!WantsLocalInput()) return;
  local_[nextLocalFrame_ % kInputWindow] = {nextLocalFrame_, input};
  ++nextLocalFrame_;
  sendInputs();
}

void Lockstep::sendInputs() {
  // The peer has run at least up to the frame before the last one of its inputs ran here,
  // which it gave the delay before: it can still need ours from there on.
  const int64_t first = std::max<int64_t>(inputDelay_, nextFrame_ - inputDelay_ - 1);
  NetInputs inputs{first, {}};
  for (int64_t frame = first; frame < nextLocalFrame_; ++frame) {
    inputs.frames.push_back(local_[frame % kInputWindow].input);
  }
  channel_.Send(inputs);
}

bool Lockstep::WantsChecksum() const {
  return !ended_ && nextFrame_ % kReplayChecksumEvery == 0 && checksummedFrame_ < nextFrame_;
}

void Lockstep::GiveChecksum(uint64_t value) {
  if (!WantsChecksum()) return;
  checksummedFrame_ = nextFrame_;
  localChecksums_[nextFrame_] = value;
  channel_.Send(NetChecksum{nextFrame_, value});
  compareChecksums();
}

std::optional<ReplayFrame> Lockstep::TakeFrame(double nowSeconds) {
  if (ended_ || WantsLocalInput() || WantsChecksum()) return std::nullopt;
  if (localPaused_ || peerPaused_) {
    heldSince_.reset();
    return std::nullopt;
  }
  const ReplayFrame* local = inputFor(local_, nextFrame_);
  const ReplayFrame* peer = inputFor(peer_, nextFrame_);
  if (!local || !peer) {
    if (!heldSince_) heldSince_ = nowSeconds;
    return std::nullopt;
  }
  heldSince_.reset();
  ++nextFrame_;
  return side_ == LockstepSide::kHost ? MergeFrames(*local, *peer) : MergeFrames(*peer, *local);
}

void Lockstep::SetLocalPause(bool paused) {
  if (ended_ || paused == localPaused_) return;
  localPaused_ = paused;
  channel_.Send(NetPause{paused});
}

void Lockstep::End(const std::string& why) {
  if (!ended_) endHere(why);
}

std::string Lockstep::Notice(double nowSeconds) const {
  if (ended_ || !heldSince_ || nowSeconds - *heldSince_ < kWaitingNoticeSeconds) return "";
  return "WAITING FOR " + peerName_;
}

void Lockstep::take(const NetMessage& message) {
  std::visit(
      [&](const auto& m) {
        using M = std::decay_t<decltype(m)>;
        if constexpr (std::is_same_v<M, NetInputs>) {
          takeInputs(m);
        } else if constexpr (std::is_same_v<M, NetChecksum>) {
          takeChecksum(m);
        } else if constexpr (std::is_same_v<M, NetPause>) {
          peerPaused_ = m.paused;
        } else if constexpr (std::is_same_v<M, NetGameEnd>) {
          endHere(fitPeerWord(m.why, peerName_), false);
        } else if constexpr (std::is_same_v<M, NetPing>) {
          if (!m.reply) channel_.Send(NetPing{m.sentMicroseconds, true});
        }
        // A hello, refusal or start in the middle of a game means nothing here.
      },
      message);
}

void Lockstep::takeInputs(const NetInputs& inputs) {
  const int64_t count = static_cast<int64_t>(inputs.frames.size());
  const int64_t first = inputs.firstFrame;
  // Frames already run, or too far ahead to keep, are let go.
  if (first >= nextFrame_ + kInputWindow || first < nextFrame_ - count) return;
  for (int64_t i = std::max<int64_t>(0, nextFrame_ - first); i < count; ++i) {
    const int64_t frame = first + i;
    if (frame >= nextFrame_ + kInputWindow) break;
    KeptInput& kept = peer_[frame % kInputWindow];
    if (kept.frame != frame) kept = {frame, inputs.frames[i]};
  }
}

void Lockstep::takeChecksum(const NetChecksum& checksum) {
  const int64_t frame = checksum.frame;
  if (frame < 0 || frame % kReplayChecksumEvery != 0) return;
  if (frame < nextFrame_ - kInputWindow || frame > nextFrame_ + kInputWindow) return;
  peerChecksums_.emplace(frame, checksum.value);
  compareChecksums();
}

void Lockstep::compareChecksums() {
  for (auto peer = peerChecksums_.begin(); peer != peerChecksums_.end();) {
    const auto local = localChecksums_.find(peer->first);
    if (local == localChecksums_.end()) {
      ++peer;
      continue;
    }
    if (local->second != peer->second) {
      endHere("the games went apart at frame " + std::to_string(peer->first));
      return;
    }
    localChecksums_.erase(local);
    peer = peerChecksums_.erase(peer);
  }
  // One whose partner can no longer come is let go.
  const int64_t oldest = nextFrame_ - kInputWindow;
  std::erase_if(localChecksums_, [&](const auto& kept) { return kept.first < oldest; });
  std::erase_if(peerChecksums_, [&](const auto& kept) { return kept.first < oldest; });
}

void Lockstep::endHere(const std::string& word, bool tellPeer) {
  ended_ = true;
  endWord_ = word;
  if (tellPeer) channel_.Send(NetGameEnd{word});
}

// Something goes to the peer every second, so a pause or a hold is not taken for silence.
void Lockstep::keepAlive(double nowSeconds) {
  if (nowSeconds - lastPing_ < kPingEverySeconds && lastPing_ >= 0) return;
  lastPing_ = nowSeconds;
  channel_.Send(NetPing{static_cast<uint64_t>(std::max(0.0, nowSeconds) * 1e6), false});
}

const ReplayFrame* Lockstep::inputFor(const InputRing& ring, int64_t frame) const {
  static const ReplayFrame kEmpty;
  if (frame < inputDelay_) return &kEmpty;
  const KeptInput& kept = ring[frame % kInputWindow];
  return kept.frame == frame ? &kept.input : nullptr;
}

}  // namespace fenwhit
