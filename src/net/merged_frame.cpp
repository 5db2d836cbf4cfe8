#include "net/merged_frame.h"

#include "platform/platform.h"

namespace fenwhit {

namespace {

constexpr int32_t kLeftButtonAlone = 1;
constexpr int32_t kRightButtonAlone = 2;

bool held(const ReplayFrame& frame, int code) {
  return (frame.keys[code / 64] >> (code % 64) & 1) != 0;
}

void press(ReplayFrame& frame, int code) {
  frame.keys[code / 64] |= uint64_t{1} << (code % 64);
}

struct PaddleKeys {
  int up;
  int down;
  int fire;
};

// The one-paddle controls, as the rules read them when a single paddle plays.
void movePaddle(const ReplayFrame& player, const PaddleKeys& paddle, ReplayFrame& merged) {
  if (held(player, scan::kUp) || held(player, scan::kK) || held(player, scan::kW)) {
    press(merged, paddle.up);
  }
  if (held(player, scan::kDown) || held(player, scan::kM) || held(player, scan::kS)) {
    press(merged, paddle.down);
  }
  if (held(player, scan::kZ) || player.mouseButtons == kRightButtonAlone) {
    press(merged, paddle.fire);
  }
}

bool refuses(const ReplayFrame& player) {
  return held(player, scan::kSpace) || player.mouseButtons == kLeftButtonAlone;
}

}  // namespace

ReplayFrame MergeFrames(const ReplayFrame& host, const ReplayFrame& guest) {
  ReplayFrame merged;
  movePaddle(host, {scan::kW, scan::kS, scan::kA}, merged);
  movePaddle(guest, {scan::kUp, scan::kDown, scan::kLeft}, merged);
  if (refuses(host) || refuses(guest)) press(merged, scan::kSpace);
  merged.beats = host.beats > 0 ? host.beats : 0;
  merged.close = host.close || guest.close;
  return merged;
}

}  // namespace fenwhit
