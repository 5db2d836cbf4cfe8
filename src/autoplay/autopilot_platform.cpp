#include "autoplay/autopilot_platform.h"

#include <algorithm>

#include "audio/music.h"

namespace fenwhit {

void AutopilotPlatform::PumpEvents() {
  inner().PumpEvents();
  // A game runs its beat thread from its start until it is left; the menu never does.
  if (BeatThreadRunning()) {
    const int32_t used = std::clamp(game.ballLast + 1, 0, kBallPoolSize);
    keys_ = GameKeys(game, std::span<const Ball>(balls, static_cast<size_t>(used)));
  } else {
    keys_ = MenuKeys(menu, keys_);
  }
}

}  // namespace fenwhit
