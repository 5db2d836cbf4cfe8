#pragma once
// The platform that keeps the best games. It sees each game start and end, enters the games
// a person played in the best-scores table, and, when the menu stands untouched for a while,
// shows the tables (as an arcade machine does between games) until the player touches a key,
// a button or the mouse: that touch only brings the menu back.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "keep/calendar.h"
#include "keep/score_file.h"
#include "platform/forwarding_platform.h"
#include "scoreboard/queued_scores.h"

namespace fenwhit {

class ScoreboardPlatform final : public ForwardingPlatform {
 public:
  // recordGames: false when the game plays by itself, whose games never enter the table.
  // The file is written through the writer, never on the frame thread. calendar: the clock
  // the games are dated by.
  ScoreboardPlatform(Platform& inner, ScoreFile& scores, BackgroundWriter& writer,
                     std::string playerName, bool recordGames, std::ostream& err,
                     CalendarClock calendar = CalendarNow);

  // The game start: the calendar is read once here for the game, which the table dates by
  // its start (as its replay is named).
  void DiscardKeyPress() override;
  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override;
  MouseState ReadMouse() override;
  // A window closed during a game still enters that game.
  WindowEvent TakeWindowEvent() override;

  // The name the next game enters the table under, instead of the player's (a network
  // game enters under both players' names); for that one game.
  void NameNextGame(std::string name) { nextGameName_ = std::move(name); }

  // The kind of the game last played (one paddle before any).
  GameKind LastKind() const { return kind_; }
  // The rank the last game reached; 0 when it did not enter or before any game.
  int LastRank() const { return lastRank_; }
  const ScoreTables& Tables() const { return scores_.Tables(); }
  // The inner clock's reading when the tables began to show; negative while they don't.
  double TablesShownAt() const { return tablesShownAt_; }
  // Whether the menu is on screen (not a game, not the intro).
  bool InMenu() const;
  // The calendar's reading at the start of the game being played (or about to be entered);
  // read now when the start was not seen.
  int64_t GameStartTime();

  static constexpr double kIdleSeconds = 15.0;

 private:
  void FollowGame();
  void EnterGame();
  void WatchIdle();
  // Whether any key, mouse button or gamepad control is held.
  bool AnythingHeld(const MouseState& mouse) const;

  QueuedScores scores_;
  std::string playerName_;
  std::optional<std::string> nextGameName_;
  bool recordGames_;
  CalendarClock calendar_;

  bool inGame_ = false;
  std::optional<int64_t> gameStartTime_;
  GameKind kind_ = GameKind::kOnePaddle;
  double gameStartedAt_ = 0.0;
  int64_t score_ = 0;
  int32_t events_ = 0;
  int32_t seconds_ = 0;
  int lastRank_ = 0;

  double idleSince_ = -1.0;
  MouseState lastMouse_;
  uint64_t lastKeyPresses_ = 0;
  double tablesShownAt_ = -1.0;
  // After the touch that took the tables away, nothing reaches the menu until all is let go.
  bool swallowing_ = false;
};

}  // namespace fenwhit
