#include "autoplay/autopilot_platform.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "audio/music.h"

namespace fenwhit {

namespace {

constexpr int kFramesPerSecond = 60;

// -1 unless set to a number of seconds from 0 to a day.
int FramesBeforeMissing() {
  const char* text = std::getenv("FENWHIT_TEST_AUTOPLAY_MISS_AFTER");
  if (text == nullptr || *text == '\0') return -1;
  char* end = nullptr;
  const long seconds = std::strtol(text, &end, 10);
  if (*end != '\0' || seconds < 0 || seconds > 24 * 3600) return -1;
  return static_cast<int>(seconds) * kFramesPerSecond;
}

}  // namespace

AutopilotPlatform::AutopilotPlatform(Platform& real)
    : ForwardingPlatform(real), steeredFrames_(FramesBeforeMissing()) {}

void AutopilotPlatform::PumpEvents() {
  inner().PumpEvents();
  // A game runs its beat thread from its start until it is left; the menu never does.
  if (BeatThreadRunning()) {
    const int32_t used = std::clamp(game.ballLast + 1, 0, kBallPoolSize);
    const bool miss = steeredFrames_ >= 0 && ++gameFrames_ > steeredFrames_;
    keys_ = GameKeys(game, std::span<const Ball>(balls, static_cast<size_t>(used)),
                     {.paddle = paddle_, .pendingSteps = PendingSteps(), .miss = miss});
    if (inputDelay_ > 0) {
      pending_.push_back(keys_.down - keys_.up);
      if (static_cast<int>(pending_.size()) > inputDelay_) pending_.pop_front();
    }
  } else {
    pending_.clear();
    gameFrames_ = 0;
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
