#include "netplay/net_game_platform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "app/display.h"
#include "game/game_state.h"
#include "game/random.h"
#include "keep/player_name.h"
#include "netplay/net_test_hooks.h"
#include "pause/pause_platform.h"
#include "platform/exit.h"
#include "replay/game_snapshot.h"
#include "replay/replay_recorder.h"
#include "ui/main_menu.h"

namespace fenwhit {

namespace {

constexpr double kFramesPerSecond = 60.0;
// How often the held picture is drawn again while the notice stays.
constexpr double kHeldRedrawSeconds = 1.0;
constexpr int32_t kLeftButton = 1;

bool Held(const ReplayFrame& frame, int code) {
  return (frame.keys[code / 64] >> (code % 64) & 1) != 0;
}

// What the game reads once the network game has ended under it: Esc, so it winds down
// through its own ending, as when a player leaves a local game.
ReplayFrame LeavingFrame() {
  ReplayFrame frame;
  frame.keys[scan::kEsc / 64] |= uint64_t{1} << (scan::kEsc % 64);
  return frame;
}

int64_t InFrames(double seconds) {
  return static_cast<int64_t>(std::lround(seconds * kFramesPerSecond));
}

}  // namespace

NetGamePlatform::NetGamePlatform(Platform& everyday, Platform& local, Hooks hooks,
                                 std::ostream& err)
    : ForwardingPlatform(everyday), local_(local), hooks_(std::move(hooks)), err_(err) {}

NetGamePlatform::~NetGamePlatform() {
  if (playing_) SetBeatSource(previousBeats_);
  if (playing_ && hooks_.pause != nullptr) hooks_.pause->StopSharing();
}

void NetGamePlatform::Begin(std::unique_ptr<NetConnection> connection, int inputDelay) {
  if (connection_ || !connection) return;
  connection_ = std::move(connection);
  channel_.emplace(connection_->Channel());
  inputDelay_ = std::clamp(inputDelay, kMinInputDelay, kMaxInputDelay);
  start_.reset();
  desyncFrame_ = TestNetDesyncFrame();
  menuWord_.clear();
}

std::string NetGamePlatform::MenuWord() {
  // Only the menu shows it: a game started meanwhile covers it.
  if (menuWord_.empty() || BeatThreadRunning() || WallClock() >= menuWordUntil_) return {};
  return menuWord_;
}

double NetGamePlatform::WallClock() {
  return hooks_.pause != nullptr ? hooks_.pause->WallClock() : local_.Clock();
}

// --- In the menu -----------------------------------------------------------------------

void NetGamePlatform::PumpEvents() {
  if (playing_) {
    PumpGame();
    return;
  }
  inner().PumpEvents();
  if (escapeHidden_ && !inner().KeyHeld(scan::kEsc)) escapeHidden_ = false;
  if (connection_) WaitForStart();
}

void NetGamePlatform::WaitForStart() {
  connection_->Service(0);
  if (inner().KeyHeld(scan::kEsc)) {
    // The player gave up waiting: the peer hears it, and the menu stays.
    channel_->Send(NetGameEnd{});
    connection_->Service(0);
    escapeHidden_ = true;
    DropInMenu("", false);
    return;
  }
  if (Host()) {
    menu.requestedGame = 1;
    return;
  }
  while (!start_) {
    std::optional<NetMessage> message = channel_->Receive();
    if (!message) break;
    if (const auto* start = std::get_if<NetGameStart>(&*message)) {
      if (start->screenMode < 0 || start->screenMode >= kScreenModeCount) {
        DropInMenu("the host's screen mode is unknown here", true);
        return;
      }
      start_ = *start;
      ownScreenMode_ = screenMode.index;
      SwitchScreenMode(start->screenMode);
    } else if (const auto* end = std::get_if<NetGameEnd>(&*message)) {
      DropInMenu(end->why.empty() ? connection_->PeerName() + " left" : end->why, true);
      return;
    } else if (const auto* refusal = std::get_if<NetRefusal>(&*message)) {
      DropInMenu(refusal->why, true);
      return;
    }
  }
  if (start_) {
    menu.requestedGame = 1;
  } else if (!connection_->Connected()) {
    DropInMenu(connection_->PeerName() + " left", true);
  }
}

void NetGamePlatform::DropInMenu(const std::string& why, bool failed) {
  figures_ = {};
  Report(failed, why);
  channel_.reset();
  connection_.reset();
  start_.reset();
  if (failed && hooks_.endAfterGame) ExitProgram(1);
}

bool NetGamePlatform::KeyHeld(int scanCode) const {
  if (playing_) {
    if (scanCode < 0 || scanCode >= scan::kCount) return false;
    return Held(current_, scanCode);
  }
  // While a network game is waited for, the menu's own items and its Esc stay untouched.
  if (scanCode == scan::kEsc && (escapeHidden_ || connection_)) return false;
  if (scanCode == scan::kSpace && connection_) return false;
  return inner().KeyHeld(scanCode);
}

MouseState NetGamePlatform::ReadMouse() {
  if (playing_) {
    MouseState mouse = local_.ReadMouse();
    mouse.buttons = current_.mouseButtons;
    return mouse;
  }
  MouseState mouse = inner().ReadMouse();
  if (connection_) mouse.buttons &= ~kLeftButton;
  return mouse;
}

// --- The game ------------------------------------------------------------------------------

void NetGamePlatform::DiscardKeyPress() {
  if (playing_ || !connection_ || (!Host() && !start_)) {
    inner().DiscardKeyPress();
    return;
  }
  StartGame();
}

void NetGamePlatform::StartGame() {
  // The platforms beneath see the start; the recorder never does, so it reseeds nothing.
  local_.DiscardKeyPress();
  const LockstepSide side = connection_->Side();
  const std::string& peer = connection_->PeerName();
  NetGameStart start;
  if (side == LockstepSide::kHost) {
    start.screenMode = screenMode.index;
    start.seed = randomSeedBits();
    seedRandom(start.seed);
    start.startState = SaveGameState();
    start.inputDelay = inputDelay_;
    channel_->Send(start);
  } else {
    start = std::move(*start_);
    start_.reset();
  }
  // Both sides run with the host's delay: the first frames, before any input, are empty.
  const int delay = std::clamp<int>(start.inputDelay, kMinInputDelay, kMaxInputDelay);
  lockstep_.emplace(*channel_, side, delay, peer);
  if (side == LockstepSide::kGuest) {
    if (!RestoreGameState(start.startState)) {
      lockstep_->End("the host's game does not fit this version of the game");
    }
    seedRandom(start.seed);
  }
  figures_ = {};
  figures_.inputDelay = delay;
  const std::string& host = side == LockstepSide::kHost ? hooks_.playerName : peer;
  const std::string& guest = side == LockstepSide::kHost ? peer : hooks_.playerName;
  const std::string pair = CleanPlayerName(host + "-" + guest);

  replay_ = {};
  replay_.gameVersion = FENWHIT_VERSION;
  replay_.kind = 1;
  replay_.screenMode = start.screenMode;
  replay_.seed = start.seed;
  replay_.startTime = hooks_.calendar ? hooks_.calendar() : CalendarNow();
  replay_.player = pair;
  replay_.architecture = ThisArchitecture();
  replay_.startState = std::move(start.startState);
  replay_.checksums.push_back(ReplayChecksum());

  if (hooks_.nameNextScore) hooks_.nameNextScore(pair);
  if (hooks_.pause != nullptr) {
    hooks_.pause->Share(
        {[this] { ServiceGame(0); }, [this](bool paused) { LocalPauseChanged(paused); }});
  }
  previousBeats_ = CurrentBeatSource();
  SetBeatSource(this);
  playing_ = true;
  endedHere_ = false;
  endedInPlay_.reset();
  localEscapeFrame_.reset();
  escapeFrame_.reset();
  peerEscaped_ = false;
  closeRequested_ = false;
  peerWasPaused_ = false;
  startedAt_ = WallClock();
  current_ = AwaitFrame();
  replay_.frames.push_back(current_);
}

void NetGamePlatform::PumpGame() {
  // The first pump after the game's last frame: the game has ended.
  if (!BeatThreadRunning()) {
    FinishGame(game.lastScore, false);
    // The platforms beneath see the game's end (the best scores enter it) before the
    // program may end.
    PumpEvents();
    if (exitStatus_) ExitProgram(*exitStatus_);
    return;
  }
  const int64_t next = static_cast<int64_t>(replay_.frames.size());
  if (desyncFrame_ && next == *desyncFrame_) game.score += 1;
  if (next % kReplayChecksumEvery == 0) replay_.checksums.push_back(ReplayChecksum());
  local_.PumpEvents();
  current_ = AwaitFrame();
  replay_.frames.push_back(current_);
}

ReplayFrame NetGamePlatform::AwaitFrame() {
  ReplayFrame frame;
  // What the peer sent since the last frame is read first, so a frame whose input has come
  // runs without being held.
  ServiceGame(0);
  if (TryFrame(frame)) return frame;
  const double heldFrom = local_.Clock();
  double drawnAt = -kHeldRedrawSeconds;
  std::string drawn;
  for (;;) {
    ServiceGame(kHoldWaitMs);
    if (TryFrame(frame)) break;
    const double now = WallClock();
    const std::string notice = lockstep_->Notice(now);
    // Held past the notice, Esc leaves at once rather than wait for the peer to hear it.
    if (!notice.empty() && local_.KeyHeld(scan::kEsc)) {
      lockstep_->End("");
      endedHere_ = true;
      continue;
    }
    if (!notice.empty() && (notice != drawn || now - drawnAt >= kHeldRedrawSeconds)) {
      if (hooks_.drawHeld) hooks_.drawHeld(notice);
      drawn = notice;
      drawnAt = now;
    }
    // The window stays alive (and a pause can start) while the peer is waited for.
    local_.PumpEvents();
  }
  NoteHeld(local_.Clock() - heldFrom);
  return frame;
}

bool NetGamePlatform::TryFrame(ReplayFrame& frame) {
  if (!lockstep_->Ended() && local_.TakeWindowEvent() == WindowEvent::kClose) {
    lockstep_->End("");
    endedHere_ = true;
    closeRequested_ = true;
  }
  if (lockstep_->Ended()) {
    if (!endedInPlay_) endedInPlay_ = game.gameOver == 0;
    frame = LeavingFrame();
    return true;
  }
  if (lockstep_->WantsLocalInput()) {
    ReplayFrame input = ReadFrameInputs(local_);
    // The host's input carries the beats its beat thread counted; the guest's carry none.
    if (Host()) input.beats = TakeBeatThreadBeats();
    if (!localEscapeFrame_ && Held(input, scan::kEsc)) {
      localEscapeFrame_ = lockstep_->NextFrame() + figures_.inputDelay;
    }
    lockstep_->GiveLocalInput(input);
  }
  if (lockstep_->WantsChecksum()) lockstep_->GiveChecksum(ReplayChecksum());
  const int64_t next = lockstep_->NextFrame();
  if (std::optional<ReplayFrame> merged = lockstep_->TakeFrame(WallClock())) {
    frame = *merged;
    AddEscape(next, frame);
    return true;
  }
  // The peer gone with nothing more to run: its last inputs were all there was.
  if (!connection_->Connected()) {
    lockstep_->End(connection_->PeerName() + " left");
    return TryFrame(frame);
  }
  return false;
}

void NetGamePlatform::AddEscape(int64_t frame, ReplayFrame& merged) {
  if (!escapeFrame_) {
    const std::optional<int64_t> peer = channel_->PeerEscapeFrame();
    if (localEscapeFrame_ && frame >= *localEscapeFrame_) escapeFrame_ = frame;
    if (peer && frame >= *peer) {
      escapeFrame_ = frame;
      // The peer's player left first: said in the menu, as no failure.
      if (!localEscapeFrame_ || *peer < *localEscapeFrame_) peerEscaped_ = true;
    }
  }
  if (escapeFrame_) merged.keys[scan::kEsc / 64] |= uint64_t{1} << (scan::kEsc % 64);
}

void NetGamePlatform::ServiceGame(int waitMs) {
  connection_->Service(waitMs);
  lockstep_->Update(WallClock());
  FollowPeerPause();
  // A pause ends with the game.
  if (lockstep_->Ended() && hooks_.pause != nullptr) hooks_.pause->FollowPeer(false);
}

void NetGamePlatform::FollowPeerPause() {
  const bool peerPaused = lockstep_->PeerPaused();
  if (peerPaused == peerWasPaused_ || hooks_.pause == nullptr) return;
  peerWasPaused_ = peerPaused;
  // Either player's pause holds both, and either player's going on ends it for both.
  if (peerPaused && !lockstep_->LocallyPaused()) {
    if (hooks_.pauseTitle) hooks_.pauseTitle("PAUSED BY " + connection_->PeerName());
    lockstep_->SetLocalPause(true);
    hooks_.pause->FollowPeer(true);
  } else if (!peerPaused && lockstep_->LocallyPaused()) {
    lockstep_->SetLocalPause(false);
    hooks_.pause->FollowPeer(false);
  }
}

void NetGamePlatform::LocalPauseChanged(bool paused) {
  if (paused && hooks_.pauseTitle) hooks_.pauseTitle("PAUSED");
  lockstep_->SetLocalPause(paused);
}

void NetGamePlatform::NoteHeld(double seconds) {
  heldTime_ += seconds;
  figures_.heldFrames += InFrames(seconds);
  figures_.longestHold = std::max(figures_.longestHold, InFrames(seconds));
}

WindowEvent NetGamePlatform::TakeWindowEvent() {
  if (!playing_) return inner().TakeWindowEvent();
  WindowEvent event = closeRequested_ ? WindowEvent::kClose : local_.TakeWindowEvent();
  closeRequested_ = false;
  if (event != WindowEvent::kClose) return event;
  // Closing the window ends the game for both, and the program, as it does locally.
  if (!lockstep_->Ended()) {
    lockstep_->End("");
    endedHere_ = true;
  }
  replay_.frames.back().close = true;
  FinishGame(FinalScore(), true);
  return WindowEvent::kClose;
}

int32_t NetGamePlatform::TakeBeats() {
  // The host's beats went out with its input; the guest's beat thread counts on unheard,
  // so its music goes on.
  if (!Host() || lockstep_->Ended()) TakeBeatThreadBeats();
  return current_.beats;
}

// --- The end -------------------------------------------------------------------------------

void NetGamePlatform::FinishGame(int64_t score, bool programEnds) {
  Replay replay = std::move(replay_);
  replay_ = {};
  playing_ = false;
  if (replay.frames.size() % kReplayChecksumEvery == 0)
    replay.checksums.push_back(ReplayChecksum());
  replay.finalScore = score;
  const GameSong song = CurrentGameSong();
  replay.song = FitReplaySong(song.title, song.contentKey, song.path);

  SetBeatSource(previousBeats_);
  if (hooks_.pause != nullptr) hooks_.pause->StopSharing();
  if (hooks_.pauseTitle) hooks_.pauseTitle("PAUSED");

  // Ended here, by the peer's own hand, or once the game was over anyway: a normal end.
  const bool plainly = endedHere_ || channel_->PeerEndedPlainly();
  const bool failed = lockstep_->Ended() && endedInPlay_.value_or(true) && !plainly;
  std::string why = endedHere_ || !endedInPlay_.value_or(true) ? "" : lockstep_->EndWord();
  if (!lockstep_->Ended() && peerEscaped_) why = connection_->PeerName() + " ended the game";
  const int64_t frames = static_cast<int64_t>(replay.frames.size());
  const double seconds = std::max(WallClock() - startedAt_, 1e-3);
  figures_.frames = frames;
  figures_.sentPerSecond = static_cast<double>(channel_->SentBytes()) / seconds;
  figures_.receivedPerSecond = static_cast<double>(channel_->ReceivedBytes()) / seconds;
  char line[200];
  std::snprintf(line, sizeof line,
                "fenwhit: network game: %lld frames, input delay %d, held %lld frames (longest "
                "%lld), sent %.1f kB/s, received %.1f kB/s\n",
                static_cast<long long>(frames), figures_.inputDelay,
                static_cast<long long>(figures_.heldFrames),
                static_cast<long long>(figures_.longestHold), figures_.sentPerSecond / 1000.0,
                figures_.receivedPerSecond / 1000.0);
  err_ << line;
  Report(failed, why);

  lockstep_.reset();
  channel_.reset();
  connection_.reset();
  if (hooks_.keepReplay) hooks_.keepReplay(std::move(replay));
  if (programEnds) return;
  if (hooks_.endAfterGame) exitStatus_ = failed ? 1 : 0;
  if (ownScreenMode_ >= 0 && ownScreenMode_ != screenMode.index) SwitchScreenMode(ownScreenMode_);
  ownScreenMode_ = -1;
}

void NetGamePlatform::Report(bool failed, const std::string& why) {
  figures_.failed = failed;
  figures_.why = why;
  if (failed) err_ << "fenwhit: the network game ended: " << why << "\n";
  if (!why.empty()) {
    menuWord_ = why;
    menuWordUntil_ = WallClock() + kMenuWordSeconds;
  }
}

}  // namespace fenwhit
