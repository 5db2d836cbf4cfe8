#pragma once
// What two copies of the game say to each other over the network, and its bytes. Every
// message is versioned and length-checked; decoding refuses anything malformed.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "replay/replay_file.h"

namespace fenwhit {

inline constexpr uint16_t kNetProtocolVersion = 1;
// No message is larger: a start state is bounded as a replay's is.
inline constexpr size_t kNetMaxMessageBytes = kReplayMaxStartStateBytes + 4096;
// An inputs message carries at most this many frames, each taking at most this many beats.
inline constexpr size_t kNetMaxInputFrames = 256;
inline constexpr int32_t kNetMaxFrameBeats = 64;
// A refusal's or a game end's reason: room for one line naming two builds.
inline constexpr size_t kNetMaxReasonBytes = 250;

// Either side, first: who it is and what rules it computes.
struct NetHello {
  std::string gameVersion;  // as replays record it
  std::string rulesDigest;  // RulesDigest(): the build's arithmetic
  std::string player;       // as the scores table has names
  bool operator==(const NetHello&) const = default;
};
// Either side: the other cannot play with it (versions differ, a game is running).
struct NetRefusal {
  std::string why;
  bool operator==(const NetRefusal&) const = default;
};
// Host to guest as a game starts: everything a replay starts from.
struct NetGameStart {
  int32_t screenMode = 0;
  uint64_t seed = 0;
  std::vector<uint8_t> startState;
  int32_t inputDelay = 2;  // frames
  bool operator==(const NetGameStart&) const = default;
};
// The sender's input for consecutive frames from firstFrame on (the host's carry the beats
// each frame takes; the guest's none). Frames already sent may come again.
struct NetInputs {
  int64_t firstFrame = 0;
  std::vector<ReplayFrame> frames;
  bool operator==(const NetInputs&) const = default;
};
// The state checksum before `frame` (a multiple of kReplayChecksumEvery).
struct NetChecksum {
  int64_t frame = 0;
  uint64_t value = 0;
  bool operator==(const NetChecksum&) const = default;
};
struct NetPause {
  bool paused = false;
  bool operator==(const NetPause&) const = default;
};
// The sender ends the game (Esc, its window closed, the games went apart).
struct NetGameEnd {
  std::string why;
  bool operator==(const NetGameEnd&) const = default;
};
// Measures the round trip: the receiver sends it back with reply set.
struct NetPing {
  uint64_t sentMicroseconds = 0;
  bool reply = false;
  bool operator==(const NetPing&) const = default;
};

// Host to guest once the round trips are measured: the input delay it chose, which every
// game start of the connection carries too.
struct NetInputDelay {
  int32_t frames = 2;
  bool operator==(const NetInputDelay&) const = default;
};

using NetMessage = std::variant<NetHello, NetRefusal, NetGameStart, NetInputs, NetChecksum,
                                NetPause, NetGameEnd, NetPing, NetInputDelay>;

std::vector<uint8_t> EncodeNetMessage(const NetMessage& message);
// nullopt with a short `why` for anything that is not one whole, valid message.
std::optional<NetMessage> DecodeNetMessage(std::span<const uint8_t> bytes, std::string& why);

}  // namespace fenwhit
