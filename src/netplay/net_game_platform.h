#pragma once
// The network game, outermost in the platform chain. In the menu and in local games it
// passes everything through. Once a connection is begun it starts a two-paddle game with the
// other machine: the host asks the menu for it and sends its start; the guest waits in the
// menu for that start, takes the host's screen mode and starts from the host's state and
// seed. During the game it reads the local player's input from the platform beneath the
// recorder, plays it in lockstep with the peer's and gives the game the merged frames, as the
// replay player gives it a recording's. A frame that cannot run yet holds the game inside
// PumpEvents, with the held time left out of the clock the game reads. A player's Esc goes
// with their input, so both games leave at the same frame with the same score; closing the
// window, a peer gone or silent, or games gone apart end the lockstep at once, and the game
// winds down through its ending. Each game is kept as a two-paddle replay under both
// players' names.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "audio/music.h"
#include "keep/calendar.h"
#include "net/lockstep.h"
#include "netplay/counting_channel.h"
#include "netplay/net_connection.h"
#include "platform/forwarding_platform.h"
#include "replay/replay_file.h"

namespace fenwhit {

class PausePlatform;

// What one network game came to, for the figures line and the tests.
struct NetGameFigures {
  int64_t frames = 0;
  int inputDelay = 0;
  int64_t heldFrames = 0;    // the time held, in frames
  int64_t longestHold = 0;   // the longest single hold, in frames
  double sentPerSecond = 0;  // bytes of messages
  double receivedPerSecond = 0;
  bool failed = false;
  std::string why;  // the end's word; "" for a game that simply ended
};

class NetGamePlatform final : public ForwardingPlatform, public BeatSource {
 public:
  struct Hooks {
    // This player's name, as the table has names.
    std::string playerName;
    // Each network game's replay, once it has ended.
    std::function<void(Replay&&)> keepReplay;
    // Draws and presents the last picture again with the notice over it.
    std::function<void(const std::string& notice)> drawHeld;
    // The name the scores table enters the next game under.
    std::function<void(const std::string& name)> nameNextScore;
    // What the pause screen says.
    std::function<void(const std::string& title)> pauseTitle;
    // The pause beneath, shared with the peer during a game.
    PausePlatform* pause = nullptr;
    CalendarClock calendar = CalendarNow;
    // The program ends after the one network game (0 after a normal end, 1 after a failure).
    bool endAfterGame = false;
  };

  NetGamePlatform(Platform& everyday, Platform& local, Hooks hooks, std::ostream& err);
  ~NetGamePlatform() override;
  NetGamePlatform(const NetGamePlatform&) = delete;
  NetGamePlatform& operator=(const NetGamePlatform&) = delete;

  // Starts a network game over the connection (ignored while one is going on).
  void Begin(std::unique_ptr<NetConnection> connection, int inputDelay);
  // Whether a connection is held: a game waited for or played.
  bool Connected() const { return connection_ != nullptr; }
  // The word the last network game ended with while it is still shown in the menu; "".
  std::string MenuWord();
  const NetGameFigures& LastFigures() const { return figures_; }
  // The frames of the network game taken so far (the next is this one); 0 outside one.
  int64_t FramesTaken() const { return static_cast<int64_t>(replay_.frames.size()); }

  void DiscardKeyPress() override;
  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override;
  MouseState ReadMouse() override;
  WindowEvent TakeWindowEvent() override;
  double Clock() override { return inner().Clock() - heldTime_; }
  void SleepUntil(double deadline) override { inner().SleepUntil(deadline + heldTime_); }
  int32_t TakeBeats() override;

  static constexpr double kMenuWordSeconds = 4.0;
  // The longest the link is waited on in one go while the game is held.
  static constexpr int kHoldWaitMs = 2;

 private:
  void WaitForStart();
  void DropInMenu(const std::string& why, bool failed);
  void StartGame();
  void PumpGame();
  // The merged frame to run next; holds until it can run or the game has ended.
  ReplayFrame AwaitFrame();
  bool TryFrame(ReplayFrame& frame);
  // A player's Esc, carried in their input, ends the game on both sides at the same frame.
  void AddEscape(int64_t frame, ReplayFrame& merged);
  // The link's work of the moment, during the game and its pauses.
  void ServiceGame(int waitMs);
  void FollowPeerPause();
  void LocalPauseChanged(bool paused);
  void NoteHeld(double seconds);
  void FinishGame(int64_t score, bool programEnds);
  void Report(bool failed, const std::string& why);
  double WallClock();
  bool Host() const { return connection_->Side() == LockstepSide::kHost; }

  Platform& local_;
  Hooks hooks_;
  std::ostream& err_;

  std::unique_ptr<NetConnection> connection_;
  std::optional<CountingChannel> channel_;
  std::optional<Lockstep> lockstep_;
  int inputDelay_ = kMinInputDelay;
  std::optional<NetGameStart> start_;  // the guest's, from the host
  std::optional<int64_t> desyncFrame_;

  bool playing_ = false;
  ReplayFrame current_;
  Replay replay_;
  BeatSource* previousBeats_ = nullptr;
  int32_t ownScreenMode_ = -1;
  bool endedHere_ = false;
  // The frames from which the local player's and the peer's Esc holds in the merged frames.
  std::optional<int64_t> localEscapeFrame_;
  std::optional<int64_t> escapeFrame_;
  bool peerEscaped_ = false;
  // Whether the game was still in play when the lockstep ended; unset while it has not.
  std::optional<bool> endedInPlay_;
  bool closeRequested_ = false;
  bool peerWasPaused_ = false;
  bool escapeHidden_ = false;

  // Set once a game has ended with endAfterGame: the status the program ends with.
  std::optional<int> exitStatus_;
  double heldTime_ = 0.0;
  double startedAt_ = 0.0;
  NetGameFigures figures_;
  std::string menuWord_;
  double menuWordUntil_ = 0.0;
};

}  // namespace fenwhit
