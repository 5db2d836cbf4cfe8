#include "replay/replay_frames.h"

#include <limits>

namespace fenwhit {

namespace {

enum Changed : uint8_t { kKeys = 1, kButtons = 2, kBeats = 4, kClose = 8 };
constexpr uint8_t kAllChanges = kKeys | kButtons | kBeats | kClose;

// Same keys and buttons as the last frame, nothing else happening.
ReplayFrame LikeTheLast(const ReplayFrame& last) {
  ReplayFrame frame;
  frame.keys = last.keys;
  frame.mouseButtons = last.mouseButtons;
  return frame;
}

}  // namespace

std::string ReplayFrameProblem(const ReplayFrame& frame) {
  if (frame.mouseButtons < 0 || frame.mouseButtons > 7) return "bad mouse buttons";
  if (frame.beats < 0) return "bad beats";
  return "";
}

void EncodeReplayFrames(const std::vector<ReplayFrame>& frames, ByteWriter& out) {
  ReplayFrame last;
  uint64_t unchanged = 0;
  for (const ReplayFrame& frame : frames) {
    if (frame == LikeTheLast(last)) {
      ++unchanged;
      continue;
    }
    out.Varint(unchanged);
    unchanged = 0;
    const bool keys = frame.keys != last.keys;
    const uint8_t flags = (keys ? kKeys : 0) |
                          (frame.mouseButtons != last.mouseButtons ? kButtons : 0) |
                          (frame.beats != 0 ? kBeats : 0) | (frame.close ? kClose : 0);
    out.Byte(flags);
    if (keys) {
      std::vector<uint8_t> toggled;
      for (int code = 0; code < 128; ++code) {
        if (((frame.keys[code / 64] ^ last.keys[code / 64]) >> (code % 64)) & 1) {
          toggled.push_back(static_cast<uint8_t>(code));
        }
      }
      out.Varint(toggled.size());
      out.Bytes(toggled.data(), toggled.size());
    }
    // Out-of-range values go as their bit patterns, which the reader refuses.
    if (flags & kButtons) out.Varint(static_cast<uint32_t>(frame.mouseButtons));
    if (flags & kBeats) out.Varint(static_cast<uint32_t>(frame.beats));
    last = frame;
  }
  if (unchanged > 0) out.Varint(unchanged);
}

std::string DecodeReplayFrames(ByteReader in, uint64_t count, std::vector<ReplayFrame>* frames) {
  const std::string damaged = "damaged (frames)";
  uint64_t decoded = 0;
  ReplayFrame last;
  while (decoded < count) {
    uint64_t unchanged = 0;
    if (!in.Varint(unchanged) || unchanged > count - decoded) return damaged;
    if (frames != nullptr) frames->insert(frames->end(), unchanged, LikeTheLast(last));
    decoded += unchanged;
    if (decoded == count) break;
    uint8_t flags = 0;
    if (!in.Byte(flags) || flags == 0 || (flags & ~kAllChanges) != 0) return damaged;
    ReplayFrame frame = LikeTheLast(last);
    if (flags & kKeys) {
      uint64_t toggles = 0;
      if (!in.Varint(toggles) || toggles == 0 || toggles > 128) return damaged;
      int previous = -1;
      for (uint64_t i = 0; i < toggles; ++i) {
        uint8_t code = 0;
        if (!in.Byte(code) || code >= 128 || code <= previous) return damaged;
        frame.keys[code / 64] ^= uint64_t{1} << (code % 64);
        previous = code;
      }
    }
    uint64_t value = 0;
    if (flags & kButtons) {
      if (!in.Varint(value)) return damaged;
      if (value > 7) return "bad mouse buttons";
      frame.mouseButtons = static_cast<int32_t>(value);
    }
    if (flags & kBeats) {
      if (!in.Varint(value)) return damaged;
      if (value > uint64_t{std::numeric_limits<int32_t>::max()}) return "bad beats";
      frame.beats = static_cast<int32_t>(value);
    }
    frame.close = (flags & kClose) != 0;
    if (frames != nullptr) frames->push_back(frame);
    ++decoded;
    last = frame;
  }
  return in.left() == 0 ? "" : damaged;
}

}  // namespace fenwhit
