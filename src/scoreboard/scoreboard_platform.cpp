#include "scoreboard/scoreboard_platform.h"

#include "audio/music.h"
#include "game/game_state.h"
#include "ui/main_menu.h"

namespace fenwhit {

ScoreboardPlatform::ScoreboardPlatform(Platform& inner, ScoreFile& scores, BackgroundWriter& writer,
                                       std::string playerName, bool recordGames, std::ostream& err,
                                       CalendarClock calendar)
    : ForwardingPlatform(inner),
      scores_(scores, writer, err),
      playerName_(std::move(playerName)),
      recordGames_(recordGames),
      calendar_(std::move(calendar)) {}

void ScoreboardPlatform::DiscardKeyPress() {
  inner().DiscardKeyPress();
  gameStartTime_ = calendar_();
}

int64_t ScoreboardPlatform::GameStartTime() {
  if (!gameStartTime_) gameStartTime_ = calendar_();
  return *gameStartTime_;
}

bool ScoreboardPlatform::InMenu() const {
  // The intro shows no menu frame; a game runs its beat thread until it is left. A screen
  // over the menu is not the menu standing idle: keys go to that screen.
  return !BeatThreadRunning() && menu.menuFrames > 0 && !menu.covered;
}

void ScoreboardPlatform::PumpEvents() {
  inner().PumpEvents();
  scores_.Refresh();
  FollowGame();
  WatchIdle();
}

void ScoreboardPlatform::FollowGame() {
  const bool running = BeatThreadRunning();
  if (running && !inGame_) {
    inGame_ = true;
    kind_ = game.twoPaddles != 0 ? GameKind::kTwoPaddles : GameKind::kOnePaddle;
    gameStartedAt_ = inner().Clock();
    GameStartTime();
    lastRank_ = 0;
  }
  if (running && game.gameOver == 0) {
    score_ = game.score;
    events_ = game.eventCount;
    seconds_ = static_cast<int32_t>(inner().Clock() - gameStartedAt_);
  }
  if (!running && inGame_) {
    // The ending set the last score; the menu has since cleared the game's own.
    score_ = game.lastScore;
    EnterGame();
  }
}

void ScoreboardPlatform::EnterGame() {
  inGame_ = false;
  // The game's start dates it: its replay is named by the same reading.
  const int64_t startTime = GameStartTime();
  gameStartTime_.reset();
  const std::string name = nextGameName_.value_or(playerName_);
  nextGameName_.reset();
  if (!recordGames_ || score_ <= 0) return;
  ScoreEntry entry;
  entry.score = score_;
  entry.name = name;
  entry.date = LocalDate(startTime);
  entry.events = events_;
  entry.seconds = seconds_;
  lastRank_ = scores_.Enter(kind_, entry);
}

bool ScoreboardPlatform::AnythingHeld(const MouseState& mouse) const {
  if (mouse.buttons != 0) return true;
  for (int code = 1; code < scan::kCount; ++code) {
    if (inner().KeyHeld(code)) return true;
  }
  for (int slot = 0; slot < pad::kSlots; ++slot) {
    if (inner().Gamepad(slot).held != 0) return true;
  }
  return false;
}

void ScoreboardPlatform::WatchIdle() {
  const double now = inner().Clock();
  const MouseState mouse = inner().ReadMouse();
  // A key the game never reads is still a touch.
  const uint64_t presses = inner().KeyPresses();
  const bool held = AnythingHeld(mouse) || presses != lastKeyPresses_;
  lastKeyPresses_ = presses;
  const bool moved =
      mouse.x != lastMouse_.x || mouse.y != lastMouse_.y || mouse.wheel != lastMouse_.wheel;
  lastMouse_ = mouse;
  if (swallowing_ && !held) swallowing_ = false;
  if (!InMenu()) {
    idleSince_ = -1.0;
    tablesShownAt_ = -1.0;
    return;
  }
  if (tablesShownAt_ >= 0.0) {
    if (held) {
      tablesShownAt_ = -1.0;
      swallowing_ = true;
      idleSince_ = now;
    }
    return;
  }
  if (idleSince_ < 0.0 || held || moved) idleSince_ = now;
  if (now - idleSince_ >= kIdleSeconds) tablesShownAt_ = now;
}

bool ScoreboardPlatform::KeyHeld(int scanCode) const {
  if (swallowing_ || tablesShownAt_ >= 0.0) return false;
  return inner().KeyHeld(scanCode);
}

MouseState ScoreboardPlatform::ReadMouse() {
  MouseState mouse = inner().ReadMouse();
  if (swallowing_ || tablesShownAt_ >= 0.0) mouse.buttons = 0;
  return mouse;
}

WindowEvent ScoreboardPlatform::TakeWindowEvent() {
  const WindowEvent event = inner().TakeWindowEvent();
  if (event == WindowEvent::kClose && inGame_) {
    score_ = game.gameOver != 0 ? game.lastScore : game.score;
    EnterGame();
  }
  return event;
}

}  // namespace fenwhit
