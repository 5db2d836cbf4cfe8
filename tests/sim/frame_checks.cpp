#include "sim/frame_checks.h"

#include <cmath>
#include <cstring>
#include <sstream>

#include "audio/music.h"
#include "game/balls.h"
#include "game/game_state.h"

namespace fenwhit::sim {

namespace {

constexpr int32_t kBrickPoints = 200;
constexpr int32_t kBounceTests = 4;
constexpr int32_t kShotPoints = 800;
constexpr int32_t kBallPoints = 300;
constexpr double kSmallestScale = 0.07;

bool Finite(float x, float y) {
  return std::isfinite(x) && std::isfinite(y);
}

template <typename Pool>
std::string CheckPool(const Pool& pool, const char* name) {
  for (int32_t i = 0; i < static_cast<int32_t>(std::size(pool.slot)); ++i) {
    const auto& record = pool.slot[i];
    if (record.alive == 0) continue;
    if (i > Pool::kLast)
      return std::string(name) + " slot " + std::to_string(i) + " above the last";
    if (!Finite(record.x, record.y)) {
      return std::string(name) + " slot " + std::to_string(i) + " not finite";
    }
  }
  return {};
}

std::string CheckObstacles() {
  for (int32_t i = 0; i < kPoolSlots; ++i) {
    const Obstacle& o = obstacles.slot[i];
    if (o.alive == 0) continue;
    if (i > kPoolLast) return "obstacle slot " + std::to_string(i) + " above the last";
    if (!Finite(o.left, o.top) || !Finite(o.right, o.bottom)) {
      return "obstacle slot " + std::to_string(i) + " not finite";
    }
  }
  return {};
}

int64_t LiveBalls() {
  int64_t live = 0;
  for (int32_t i = 0; i <= game.ballLast; ++i) live += balls[i].kind != BallKind::Free;
  return live;
}

}  // namespace

std::string FrameChecks::CheckPools() const {
  for (int32_t i = 0; i < kBallPoolSize; ++i) {
    const Ball& ball = balls[i];
    if (ball.kind == BallKind::Free) continue;
    if (i > game.ballLast) return "ball slot " + std::to_string(i) + " above the last";
    if (!Finite(ball.x, ball.y) || !Finite(ball.vx, ball.vy)) {
      return "ball slot " + std::to_string(i) + " not finite";
    }
  }
  for (const std::string& broken :
       {CheckObstacles(), CheckPool(bricks, "brick"), CheckPool(invaders, "invader"),
        CheckPool(shots, "shot"), CheckPool(particles, "particle")}) {
    if (!broken.empty()) return broken;
  }
  return {};
}

// The score grows by the frame's gain while playing, plus what smashed bricks and hit
// invaders are worth, wrapping at 32 bits. A brick is worth 200 for each of the four
// bounce tests of every ball inside it; an invader 800 for every shot and 300 for every
// ball that meets it.
std::string FrameChecks::CheckScore() {
  const int32_t gain = game.gameOver == 0 ? game.scoreGain : 0;
  const int32_t poolPoints =
      static_cast<int32_t>(static_cast<uint32_t>(game.score) - static_cast<uint32_t>(score_) -
                           static_cast<uint32_t>(gain));
  int64_t bricksGone = 0;
  int64_t invadersGone = 0;
  for (int32_t i = 0; i <= kPoolLast; ++i) {
    bricksGone += bricks_[i].alive != 0 && bricks[i].alive == 0;
    invadersGone += invaders_[i].alive != 0 && invaders[i].alive == 0;
  }
  const int64_t least = kBrickPoints * bricksGone;
  const int64_t most = kBrickPoints * kBounceTests * bricksGone * liveBalls_ +
                       invadersGone * (kShotPoints * liveShots_ + kBallPoints * liveBalls_);
  if (poolPoints % 100 != 0 || poolPoints < least || poolPoints > most) {
    std::ostringstream out;
    out << "score " << score_ << " -> " << game.score << " with gain " << gain << ", " << bricksGone
        << " bricks and " << invadersGone << " invaders gone";
    return out.str();
  }
  return {};
}

std::string FrameChecks::CheckBounds(const DrawnFrame& drawn) const {
  const GameState& g = game;
  std::ostringstream out;
  const int32_t beat = beatCount.load();
  if (beat < 0 || beat > 17) out << "beatCount " << beat;
  if (drawn.title) {
    const int32_t at = drawn.titleBeat;
    const bool window = (at > 12 && at < 17) || (g.doubleEvent == 4 && at > 1 && at < 8);
    if (g.gameOver != 0 || !window) out << "title drawn at beat " << at;
  }
  if (g.gameOver == 0 && (g.lives < 0 || g.cancels < 0)) {
    out << "lives " << g.lives << " cancels " << g.cancels << " while playing";
  }
  // Balls lost in the ending still count down the lives; only Esc spends the cancels.
  if (g.cancels < -1) out << "cancels " << g.cancels;
  if (g.paddleLengthTarget < 12) out << "paddleLengthTarget " << g.paddleLengthTarget;
  if (g.paddleSpeed < 3) out << "paddleSpeed " << g.paddleSpeed;
  if (g.corridorCount > 3) out << "corridorCount " << g.corridorCount;
  if (wasInGame_ && g.glowScale < glowScale_) out << "glowScale fell to " << g.glowScale;
  if (wasInGame_ && g.ballScaleAdd < ballScaleAdd_) out << "ballScaleAdd fell";
  // The view of this frame was set from the squeeze of the frame before.
  if (wasInGame_ && drawn.scene && drawn.sceneScaleY + squeezeY_ < kSmallestScale - 1e-4) {
    out << "view scale " << drawn.sceneScaleY + squeezeY_ << " below the floor";
  }
  return out.str();
}

// Every application draws new wave periods, which is how it is told apart.
void FrameChecks::CountEvents() {
  if (game.wavePeriod[0] != wavePeriod_) {
    const int32_t e = eventNumber_;
    if (e >= -1 && e <= 49) ++tally_.applications[e + 1];
  }
  if (game.doubleEvent == 4 && doubleEvent_ != 4) ++tally_.doubleEvents;
  if (game.gameOver == 0 && game.cancels == cancels_ - 1) ++tally_.cancels;
}

void FrameChecks::FrameStarts() {
  if (!wasInGame_) return;
  started_ = true;
  score_ = game.score;
  liveBalls_ = LiveBalls();
  liveShots_ = 0;
  for (int32_t i = 0; i <= kPoolLast; ++i) liveShots_ += shots[i].alive != 0;
  std::memcpy(bricks_, bricks.slot, sizeof(bricks_));
  std::memcpy(invaders_, invaders.slot, sizeof(invaders_));
}

void FrameChecks::Remember() {
  wavePeriod_ = game.wavePeriod[0];
  eventNumber_ = game.eventNumber;
  doubleEvent_ = game.doubleEvent;
  cancels_ = game.cancels;
  glowScale_ = game.glowScale;
  ballScaleAdd_ = game.ballScaleAdd;
  squeezeY_ = game.squeezeY;
}

std::string FrameChecks::AfterFrame(bool inGame, const DrawnFrame& drawn) {
  ++tally_.frames;
  std::string broken = CheckPools();
  if (inGame) {
    ++tally_.gameFrames;
    ++gameFrames_;
    if (!wasInGame_) ++tally_.games;
    if (broken.empty() && started_) broken = CheckScore();
    if (broken.empty()) broken = CheckBounds(drawn);
    if (wasInGame_) CountEvents();
    Remember();
  }
  if (wasInGame_ && !inGame) {
    ++tally_.gamesEnded;
    tally_.gameLengths.push_back(gameFrames_);
  }
  if (!inGame) gameFrames_ = 0;
  started_ = false;
  wasInGame_ = inGame;
  return broken;
}

}  // namespace fenwhit::sim
