// A message's bytes, little-endian: "FW", the protocol version (u16), the kind (u8: the
// message's place in NetMessage), the body's length (u32), then the body.
//
// The bodies: a hello is three texts (game version, rules digest, player); a refusal and a
// game's end one text each; a text is a length byte and printable ASCII. A game start is the
// screen mode and input delay (i32 each), the seed (u64) and the start state: its size and
// its deflated size (u32 each), then the deflated bytes. Inputs are the first frame and the
// frame count (varints), then the frames as a replay's body holds them. A checksum is the
// frame (i64) and the value (u64); a pause one byte; a ping the time (u64) and one byte for a
// reply; an input delay the frames (i32).
#include "net/net_message.h"

#include <algorithm>
#include <string_view>
#include <type_traits>

#include "common/byte_codec.h"
#include "common/deflate_bytes.h"
#include "keep/scores.h"
#include "replay/replay_frames.h"

namespace fenwhit {

namespace {

constexpr std::string_view kMagic = "FW";
constexpr size_t kMaxGameVersionBytes = 32;  // as replays keep it
constexpr size_t kMaxDigestBytes = 64;
constexpr int32_t kMaxScreenMode = 15;
constexpr int32_t kMinInputDelay = 1;
constexpr int32_t kMaxInputDelay = 30;

bool IsPrintableText(std::string_view text, size_t minBytes, size_t maxBytes) {
  return text.size() >= minBytes && text.size() <= maxBytes &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

bool IsPlayerName(std::string_view name) {
  return name.size() <= kMaxNameLength && std::all_of(name.begin(), name.end(), IsNameCharacter);
}

void EncodeBody(const NetHello& hello, ByteWriter& out) {
  out.ShortText(hello.gameVersion);
  out.ShortText(hello.rulesDigest);
  out.ShortText(hello.player);
}
void EncodeBody(const NetRefusal& refusal, ByteWriter& out) {
  out.ShortText(refusal.why);
}
void EncodeBody(const NetGameStart& start, ByteWriter& out) {
  out.U32(static_cast<uint32_t>(start.screenMode));
  out.U32(static_cast<uint32_t>(start.inputDelay));
  out.U64(start.seed);
  // Deflated, a start state goes in a few fragments instead of a couple of hundred, each of
  // which a lossy line could hold up. A state no message can hold is written as the largest
  // size, which the reader refuses.
  const std::string deflated = DeflateBytes(std::string_view(
      reinterpret_cast<const char*>(start.startState.data()), start.startState.size()));
  out.U32(static_cast<uint32_t>(std::min<size_t>(start.startState.size(), UINT32_MAX)));
  out.U32(static_cast<uint32_t>(std::min<size_t>(deflated.size(), UINT32_MAX)));
  out.Bytes(deflated.data(), deflated.size());
}
void EncodeBody(const NetInputs& inputs, ByteWriter& out) {
  out.Varint(static_cast<uint64_t>(inputs.firstFrame));
  out.Varint(inputs.frames.size());
  EncodeReplayFrames(inputs.frames, out);
}
void EncodeBody(const NetChecksum& checksum, ByteWriter& out) {
  out.U64(static_cast<uint64_t>(checksum.frame));
  out.U64(checksum.value);
}
void EncodeBody(const NetPause& pause, ByteWriter& out) {
  out.Byte(pause.paused ? 1 : 0);
}
void EncodeBody(const NetGameEnd& end, ByteWriter& out) {
  out.ShortText(end.why);
}
void EncodeBody(const NetPing& ping, ByteWriter& out) {
  out.U64(ping.sentMicroseconds);
  out.Byte(ping.reply ? 1 : 0);
}

void EncodeBody(const NetInputDelay& delay, ByteWriter& out) {
  out.U32(static_cast<uint32_t>(delay.frames));
}

bool DecodeFlag(ByteReader& in, bool& flag) {
  uint8_t byte = 0;
  if (!in.Byte(byte) || byte > 1) return false;
  flag = byte == 1;
  return true;
}

// Each returns "" when the body held the message (the caller checks that nothing is left).
std::string DecodeBody(ByteReader& in, NetHello& hello) {
  if (!in.ShortText(hello.gameVersion) || !in.ShortText(hello.rulesDigest) ||
      !in.ShortText(hello.player)) {
    return "truncated";
  }
  if (!IsPrintableText(hello.gameVersion, 1, kMaxGameVersionBytes)) return "bad game version";
  if (!IsPrintableText(hello.rulesDigest, 1, kMaxDigestBytes)) return "bad rules digest";
  if (!IsPlayerName(hello.player)) return "bad player name";
  return "";
}
std::string DecodeReason(ByteReader& in, std::string& why) {
  if (!in.ShortText(why)) return "truncated";
  return IsPrintableText(why, 0, kNetMaxReasonBytes) ? "" : "bad reason";
}
std::string DecodeBody(ByteReader& in, NetRefusal& refusal) {
  return DecodeReason(in, refusal.why);
}
std::string DecodeBody(ByteReader& in, NetGameEnd& end) {
  return DecodeReason(in, end.why);
}
std::string DecodeBody(ByteReader& in, NetGameStart& start) {
  uint32_t stateBytes = 0;
  uint32_t deflatedBytes = 0;
  if (!in.I32(start.screenMode) || !in.I32(start.inputDelay) || !in.U64(start.seed) ||
      !in.U32(stateBytes) || !in.U32(deflatedBytes)) {
    return "truncated";
  }
  if (start.screenMode < 0 || start.screenMode > kMaxScreenMode) return "bad screen mode";
  if (start.inputDelay < kMinInputDelay || start.inputDelay > kMaxInputDelay) {
    return "bad input delay";
  }
  // The sizes are only claims: both are checked before room is made for the state.
  if (stateBytes > kReplayMaxStartStateBytes) return "start state too large";
  if (deflatedBytes > in.left()) return "truncated";
  if (stateBytes > uint64_t{deflatedBytes} * kMaxDeflateRatio) return "bad start state size";
  std::string deflated;
  in.Text(deflatedBytes, deflated);
  start.startState.resize(stateBytes);
  if (!InflateExactly(deflated, start.startState.data(), stateBytes)) return "bad start state";
  return "";
}
std::string DecodeBody(ByteReader& in, NetInputs& inputs) {
  uint64_t first = 0;
  uint64_t count = 0;
  if (!in.Varint(first) || !in.Varint(count)) return "truncated";
  if (first > kReplayMaxFrames) return "bad first frame";
  if (count > kNetMaxInputFrames) return "too many frames";
  inputs.firstFrame = static_cast<int64_t>(first);
  // The count is small: the frames are stored as they come.
  if (std::string problem = DecodeReplayFrames(in, count, &inputs.frames); !problem.empty()) {
    return problem;
  }
  in.Skip(in.left());
  for (const ReplayFrame& frame : inputs.frames) {
    if (frame.beats > kNetMaxFrameBeats) return "bad beats";
  }
  return "";
}
std::string DecodeBody(ByteReader& in, NetChecksum& checksum) {
  if (!in.I64(checksum.frame) || !in.U64(checksum.value)) return "truncated";
  if (checksum.frame < 0 || checksum.frame > static_cast<int64_t>(kReplayMaxFrames) ||
      checksum.frame % kReplayChecksumEvery != 0) {
    return "bad checksum frame";
  }
  return "";
}
std::string DecodeBody(ByteReader& in, NetPause& pause) {
  return DecodeFlag(in, pause.paused) ? "" : "bad pause";
}
std::string DecodeBody(ByteReader& in, NetPing& ping) {
  if (!in.U64(ping.sentMicroseconds)) return "truncated";
  return DecodeFlag(in, ping.reply) ? "" : "bad ping";
}
std::string DecodeBody(ByteReader& in, NetInputDelay& delay) {
  if (!in.I32(delay.frames)) return "truncated";
  return delay.frames < kMinInputDelay || delay.frames > kMaxInputDelay ? "bad input delay" : "";
}

// The message of kind `kind` (its index in NetMessage) from the whole of `in`.
template <size_t kKind = 0>
std::string DecodeKind(size_t kind, ByteReader& in, NetMessage& message) {
  if constexpr (kKind < std::variant_size_v<NetMessage>) {
    if (kind != kKind) return DecodeKind<kKind + 1>(kind, in, message);
    std::variant_alternative_t<kKind, NetMessage> decoded;
    if (std::string problem = DecodeBody(in, decoded); !problem.empty()) return problem;
    if (in.left() != 0) return "trailing bytes";
    message = std::move(decoded);
    return "";
  } else {
    return "unknown message kind " + std::to_string(kind);
  }
}

}  // namespace

std::vector<uint8_t> EncodeNetMessage(const NetMessage& message) {
  ByteWriter body;
  std::visit([&body](const auto& m) { EncodeBody(m, body); }, message);
  ByteWriter out;
  out.Bytes(kMagic.data(), kMagic.size());
  out.U16(kNetProtocolVersion);
  out.Byte(static_cast<uint8_t>(message.index()));
  out.U32(static_cast<uint32_t>(std::min<size_t>(body.bytes().size(), UINT32_MAX)));
  out.Bytes(body.bytes().data(), body.bytes().size());
  const std::string& bytes = out.bytes();
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::optional<NetMessage> DecodeNetMessage(std::span<const uint8_t> bytes, std::string& why) {
  const auto refuse = [&why](std::string reason) -> std::optional<NetMessage> {
    why = std::move(reason);
    return std::nullopt;
  };
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!text.starts_with(kMagic)) return refuse("not a game message");
  if (bytes.size() > kNetMaxMessageBytes) return refuse("too large");
  ByteReader in(text);
  in.Skip(kMagic.size());
  uint16_t version = 0;
  uint8_t kind = 0;
  uint32_t length = 0;
  // The version first: a later one may have another header after it.
  if (!in.U16(version)) return refuse("truncated");
  if (version != kNetProtocolVersion) {
    return refuse("protocol version " + std::to_string(version) + ", this game speaks " +
                  std::to_string(kNetProtocolVersion));
  }
  if (!in.Byte(kind) || !in.U32(length)) return refuse("truncated");
  if (length != in.left()) return refuse("length does not match");
  NetMessage message;
  if (std::string problem = DecodeKind(kind, in, message); !problem.empty()) {
    return refuse(std::move(problem));
  }
  return message;
}

}  // namespace fenwhit
