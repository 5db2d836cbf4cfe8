#pragma once
// One side of a network game played in lockstep: each machine sends its player's input a
// few frames ahead, and a frame runs on both once both inputs for it are there. Pure logic:
// the caller gives the time, the local input and the state checksums, and runs the frames
// this gives back.
//
// Inputs go unreliably, so a lost datagram holds nothing up behind it: each message carries
// again every recent frame the peer may still lack, and a side held for the peer's input
// sends its own again every frame, since the peer may be held for them too (or may not have
// started yet and let them go). They are kept by frame number, so a message that comes late,
// twice or out of order does no harm.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "net/net_channel.h"
#include "replay/replay_file.h"

namespace fenwhit {

inline constexpr int kMinInputDelay = 2;
inline constexpr int kMaxInputDelay = 15;
inline constexpr double kWaitingNoticeSeconds = 0.5;
inline constexpr double kSilenceSeconds = 10.0;
// How far ahead of the next frame an input may be kept; an honest peer is never more than
// twice the input delay ahead.
inline constexpr int kInputWindow = 64;
static_assert(kInputWindow > 2 * kMaxInputDelay);

// Frames of input delay for a measured round trip: enough to cover the way there, with a
// margin for sending and jitter.
int ChooseInputDelay(double roundTripMs);

enum class LockstepSide { kHost, kGuest };

class Lockstep {
 public:
  // peerName is the other player's, as the notices show it.
  Lockstep(NetChannel& channel, LockstepSide side, int inputDelay, std::string peerName);

  // Takes what the peer sent; call once a frame and while held, with the caller's clock.
  void Update(double nowSeconds);

  // The next frame to run. Before running it the caller gives what is wanted below.
  int64_t NextFrame() const { return nextFrame_; }
  // True when the local input for NextFrame() + the delay has not been given yet.
  bool WantsLocalInput() const;
  // The local player's keys and buttons (the host's with the beats this frame took).
  void GiveLocalInput(const ReplayFrame& input);
  // True when NextFrame() is a checksum frame whose local checksum is not given yet.
  bool WantsChecksum() const;
  // The state checksum before NextFrame().
  void GiveChecksum(uint64_t value);

  // The merged frame the game runs as NextFrame(), when it can run; advances.
  std::optional<ReplayFrame> TakeFrame(double nowSeconds);

  // Whether the local player has the game paused (P toggles it); both sides hold while
  // either has.
  void SetLocalPause(bool paused);
  bool LocallyPaused() const { return localPaused_; }
  bool PeerPaused() const { return peerPaused_; }

  // The local player ends the game (Esc, the window closed): the peer ends too.
  void End(const std::string& why);
  bool Ended() const { return ended_; }
  // Why the game ended, for the player.
  const std::string& EndWord() const { return endWord_; }
  // What to show while the game is held ("WAITING FOR <name>"), or "".
  std::string Notice(double nowSeconds) const;

 private:
  struct KeptInput {
    int64_t frame = -1;
    ReplayFrame input;
  };
  using InputRing = std::array<KeptInput, kInputWindow>;

  void take(const NetMessage& message);
  void takeInputs(const NetInputs& inputs);
  void takeChecksum(const NetChecksum& checksum);
  void compareChecksums();
  void endHere(const std::string& word, bool tellPeer = true);
  void keepAlive(double nowSeconds);
  void sendInputs();
  const ReplayFrame* inputFor(const InputRing& ring, int64_t frame) const;

  NetChannel& channel_;
  LockstepSide side_;
  int inputDelay_;
  std::string peerName_;

  int64_t nextFrame_ = 0;
  int64_t nextLocalFrame_;
  InputRing local_{};
  InputRing peer_{};
  // Checksums waiting for the other side's, by frame.
  std::map<int64_t, uint64_t> localChecksums_;
  std::map<int64_t, uint64_t> peerChecksums_;
  int64_t checksummedFrame_ = -1;

  bool localPaused_ = false;
  bool peerPaused_ = false;
  bool ended_ = false;
  std::string endWord_;

  std::optional<double> lastHeard_;
  std::optional<double> heldSince_;
  double lastPing_ = -1.0;
  std::optional<double> inputsSentAt_;
};

}  // namespace fenwhit
