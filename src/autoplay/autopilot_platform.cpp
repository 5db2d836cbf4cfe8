#include "autoplay/autopilot_platform.h"

#include <algorithm>
#include <numeric>

#include "audio/music.h"

namespace fenwhit {

void AutopilotPlatform::PumpEvents() {
  inner().PumpEvents();
  // A game runs its beat thread from its start until it is left; the menu never does.
  if (BeatThreadRunning()) {
    const int32_t used = std::clamp(game.ballLast + 1, 0, kBallPoolSize);
    keys_ = GameKeys(game, std::span<const Ball>(balls, static_cast<size_t>(used)), paddle_,
                     PendingSteps());
    if (inputDelay_ > 0) {
      pending_.push_back(keys_.down - keys_.up);
      if (static_cast<int>(pending_.size()) > inputDelay_) pending_.pop_front();
    }
  } else {
    pending_.clear();
    keys_ = paddle_ == kOnePaddleGame ? MenuKeys(menu, keys_) : AutopilotKeys{};
  }
}

void AutopilotPlatform::SteerPaddle(int paddle, int inputDelay) {
  paddle_ = paddle == 0 || paddle == 1 ? paddle : kOnePaddleGame;
  inputDelay_ = std::max(0, inputDelay);
  pending_.clear();
}

int AutopilotPlatform::PendingSteps() const {
  return std::accumulate(pending_.begin(), pending_.end(), 0);
}

}  // namespace fenwhit
