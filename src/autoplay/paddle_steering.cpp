#include "autoplay/paddle_steering.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace fenwhit {

namespace {

// The paddle takes a ball up to this far beyond either end, and this far right of the
// paddle line.
constexpr float kZoneReach = 12;
constexpr float kZoneDepth = 24;
// Room for what the prediction leaves out: the nudge a bounce gives, moving walls.
constexpr float kMargin = 6;
// A slow ball lingers in the zone; its first frames there are the ones that count.
constexpr int kPassageFrames = 48;
// Balls further off than this many frames are left for later.
constexpr float kHorizon = 3600;
// Chaos balls come a few at a time; the nearest ones are the ones to dodge.
constexpr size_t kChaosLimit = 16;

// The mirror image of y in the top and bottom walls, as many times as it takes.
float FoldIntoArena(float y, float top, float bottom) {
  const float height = bottom - top;
  if (height <= 0) return top;
  float offset = std::fmod(y - top, 2 * height);
  if (offset < 0) offset += 2 * height;
  return top + (offset > height ? 2 * height - offset : offset);
}

// A ball's way through the paddle zone, counted in ball moves from now.
struct Passage {
  int first = 0;
  int last = 0;
  float y = 0;
  float vy = 0;
  float top = 0;
  float bottom = 0;

  float YAt(int moves) const { return FoldIntoArena(y + moves * vy, top, bottom); }
};

// Empty for a ball moving away, already behind the line, too slow to matter yet, or so
// fast it skips the zone.
std::optional<Passage> PassageOf(const Ball& ball, const GameState& state) {
  const float left = static_cast<float>(state.wallLeft);
  if (ball.vx >= 0 || ball.x <= left) return std::nullopt;
  const float speed = -ball.vx;
  const float first = std::max(1.0f, std::floor((ball.x - left - kZoneDepth) / speed) + 1);
  if (first > kHorizon) return std::nullopt;
  const float last = std::min(std::ceil((ball.x - left) / speed) - 1, first + kPassageFrames - 1);
  if (last < first) return std::nullopt;
  return Passage{.first = static_cast<int>(first),
                 .last = static_cast<int>(last),
                 .y = ball.y,
                 .vy = ball.vy,
                 .top = static_cast<float>(state.wallTop),
                 .bottom = static_cast<float>(state.wallBottom)};
}

// The paddle top stepping towards goal until it is within half a step of it, as the
// key decision below makes it.
struct PaddlePlan {
  float start = 0;
  float goal = 0;
  float step = 0;
  // The paddle top's range: from the top wall to a paddle length above the bottom wall.
  float minTop = 0;
  float maxTop = 0;

  int Steps() const {
    const float distance = std::abs(goal - start);
    if (distance <= step / 2) return 0;
    return static_cast<int>(std::ceil((distance - step / 2) / step));
  }
  float TopAt(int moves) const {
    const float direction = goal < start ? -1.0f : 1.0f;
    const float top = start + direction * step * static_cast<float>(std::min(moves, Steps()));
    return std::clamp(top, minTop, maxTop);
  }
};

class Steering {
 public:
  Steering(const GameState& state, std::span<const Ball> ballPool, const SteerFor& how)
      : length_(static_cast<float>(state.paddleLength)), miss_(how.miss) {
    plan_.step = static_cast<float>(state.paddleSpeed);
    const int32_t top = state.paddleY[how.paddle == 1 ? 1 : 0];
    plan_.start = static_cast<float>(top) + plan_.step * static_cast<float>(how.pendingSteps);
    plan_.minTop = static_cast<float>(state.wallTop);
    plan_.maxTop = std::max(plan_.minTop, static_cast<float>(state.wallBottom) - length_);
    plan_.start = Clamp(plan_.start);
    CollectPassages(state, ballPool);
    const float centre = DesiredCentre(state, ballPool);
    desired_ = Clamp(centre - length_ / 2);
    if (miss_) {
      desired_ = centre > static_cast<float>(state.wallTop + state.wallBottom) / 2 ? plan_.minTop
                                                                                   : plan_.maxTop;
    }
  }

  Steer Decide() const {
    if (plan_.step <= 0) return Steer::kStay;  // a stopped paddle goes nowhere
    const float goal = ChooseGoal();
    if (std::abs(goal - plan_.start) <= plan_.step / 2) return Steer::kStay;
    return goal < plan_.start ? Steer::kUp : Steer::kDown;
  }

 private:
  void CollectPassages(const GameState& state, std::span<const Ball> ballPool) {
    for (const Ball& ball : ballPool) {
      if (ball.kind != BallKind::Normal && ball.kind != BallKind::Chaos) continue;
      const std::optional<Passage> passage = PassageOf(ball, state);
      if (!passage) continue;
      if (ball.kind == BallKind::Chaos) {
        chaos_.push_back(*passage);
      } else if (!normal_ || passage->first < normal_->first) {
        normal_ = passage;
      }
    }
    std::sort(chaos_.begin(), chaos_.end(),
              [](const Passage& a, const Passage& b) { return a.first < b.first; });
    if (chaos_.size() > kChaosLimit) chaos_.resize(kChaosLimit);
  }

  // The incoming ball's crossing, else the normal ball nearest the line, else the middle.
  float DesiredCentre(const GameState& state, std::span<const Ball> ballPool) const {
    if (normal_) return normal_->YAt(normal_->first);
    const Ball* nearest = nullptr;
    for (const Ball& ball : ballPool) {
      if (ball.kind != BallKind::Normal || ball.x <= static_cast<float>(state.wallLeft)) continue;
      if (nearest == nullptr || ball.x < nearest->x) nearest = &ball;
    }
    if (nearest != nullptr) return nearest->y;
    return static_cast<float>(state.wallTop + state.wallBottom) / 2;
  }

  float Clamp(float top) const { return std::clamp(top, plan_.minTop, plan_.maxTop); }

  bool Touches(float y, float top, float slack) const {
    return y > top - kZoneReach - slack && y < top + length_ + kZoneReach + slack;
  }

  bool Safe(const PaddlePlan& plan) const {
    for (const Passage& chaos : chaos_) {
      for (int t = chaos.first; t <= chaos.last; ++t) {
        if (Touches(chaos.YAt(t), plan.TopAt(t), kMargin)) return false;
      }
    }
    return true;
  }

  // Catches the normal ball, or, when chaos balls pass first, can still reach it once
  // the last of them has gone by.
  bool KeepsTheCatch(const PaddlePlan& plan) const {
    if (!normal_) return true;
    int clearAt = 0;
    for (const Passage& chaos : chaos_) {
      if (chaos.first <= normal_->last) clearAt = std::max(clearAt, chaos.last);
    }
    const float from = plan.TopAt(clearAt);
    for (int t = normal_->first; t <= normal_->last; ++t) {
      const float y = normal_->YAt(t);
      if (clearAt == 0 || t <= clearAt) {
        if (Touches(y, plan.TopAt(t), -kMargin)) return true;
        continue;
      }
      const float minTop = y - length_ - kZoneReach + kMargin;
      const float maxTop = y + kZoneReach - kMargin;
      const float distance = from < minTop ? minTop - from : (from > maxTop ? from - maxTop : 0);
      if (distance <= plan.step * static_cast<float>(t - clearAt)) return true;
    }
    return false;
  }

  // The safe goal nearest the desired one that keeps the catch; failing that the desired
  // one: a lost last ball ends the game, a caught chaos ball costs only a life.
  float ChooseGoal() const {
    if (chaos_.empty() || miss_) return desired_;
    std::vector<float> goals = {desired_, plan_.start};
    const float slack = kZoneReach + kMargin + plan_.step / 2 + 1;
    for (const Passage& chaos : chaos_) {
      float minY = chaos.YAt(chaos.first);
      float maxY = minY;
      for (int t = chaos.first + 1; t <= chaos.last; ++t) {
        minY = std::min(minY, chaos.YAt(t));
        maxY = std::max(maxY, chaos.YAt(t));
      }
      // Just above it and just below it.
      goals.push_back(Clamp(minY - length_ - slack));
      goals.push_back(Clamp(maxY + slack));
    }
    std::optional<float> best;
    for (float goal : goals) {
      PaddlePlan plan = plan_;
      plan.goal = goal;
      if (!Safe(plan) || !KeepsTheCatch(plan)) continue;
      if (!best || std::abs(goal - desired_) < std::abs(*best - desired_)) best = goal;
    }
    return best.value_or(desired_);
  }

  float length_;
  bool miss_;
  PaddlePlan plan_;
  float desired_ = 0;
  std::optional<Passage> normal_;
  std::vector<Passage> chaos_;
};

}  // namespace

Steer SteerPaddle(const GameState& state, std::span<const Ball> ballPool, const SteerFor& how) {
  return Steering(state, ballPool, how).Decide();
}

}  // namespace fenwhit
