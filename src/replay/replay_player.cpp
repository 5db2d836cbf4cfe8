#include "replay/replay_player.h"

#include "game/game_state.h"
#include "game/random.h"
#include "platform/exit.h"
#include "replay/game_snapshot.h"
#include "replay/replay_recorder.h"

namespace fenwhit {

ReplayPlayer::ReplayPlayer(Platform& inner, Mode mode) : ForwardingPlatform(inner), mode_(mode) {
  SetBeatSource(this);
}

ReplayPlayer::~ReplayPlayer() {
  SetBeatSource(nullptr);
}

void ReplayPlayer::Load(Replay replay) {
  replay_ = std::move(replay);
  playing_ = false;
  viewerLeft_ = false;
  frame_ = 0;
  outcome_ = {};
}

void ReplayPlayer::DiscardKeyPress() {
  inner().DiscardKeyPress();
  playing_ = !replay_.frames.empty();
  frame_ = 0;
  if (!RestoreGameState(replay_.startState)) {
    Differs(0, "its start does not fit this version of the game");
  }
  seedRandom(replay_.seed);
  if (!replay_.checksums.empty() && ReplayChecksum() != replay_.checksums[0]) {
    Differs(0, "the state at the start");
  }
}

void ReplayPlayer::PumpEvents() {
  if (!playing_ || !BeatThreadRunning()) {
    inner().PumpEvents();
    return;
  }
  const int64_t next = frame_ + 1;
  if (next >= static_cast<int64_t>(replay_.frames.size())) {
    Differs(next, "the game went on after the recording ended");
    ExitProgram(0);
  } else if (next % kReplayChecksumEvery == 0) {
    const auto index = static_cast<size_t>(next / kReplayChecksumEvery);
    if (index < replay_.checksums.size() && ReplayChecksum() != replay_.checksums[index]) {
      Differs(next, "the state checksum");
    }
  }
  inner().PumpEvents();
  if (next < static_cast<int64_t>(replay_.frames.size())) frame_ = next;
}

bool ReplayPlayer::KeyHeld(int scanCode) const {
  if (!playing_ || scanCode < 0 || scanCode >= scan::kCount) return inner().KeyHeld(scanCode);
  return (Current().keys[scanCode / 64] >> (scanCode % 64) & 1) != 0;
}

MouseState ReplayPlayer::ReadMouse() {
  MouseState mouse = inner().ReadMouse();
  if (playing_) mouse.buttons = Current().mouseButtons;
  return mouse;
}

WindowEvent ReplayPlayer::TakeWindowEvent() {
  const WindowEvent event = inner().TakeWindowEvent();
  if (!playing_) return event;
  // Watching, the player's Esc leaves the replay at once; the recorded Esc only ends the
  // recorded game, as it did.
  if (event == WindowEvent::kClose || (mode_ == Mode::kWatch && inner().KeyHeld(scan::kEsc))) {
    viewerLeft_ = true;
    return WindowEvent::kClose;
  }
  if (Current().close) return WindowEvent::kClose;
  return event;
}

int32_t ReplayPlayer::TakeBeats() {
  // The beat thread counts on, as the music plays; the recording says what each frame took.
  TakeBeatThreadBeats();
  return playing_ ? Current().beats : 0;
}

void ReplayPlayer::Differs(int64_t frame, std::string what) {
  if (outcome_.differsAt < 0) {
    outcome_.differsAt = frame;
    outcome_.difference = std::move(what);
  }
  if (mode_ == Mode::kCheck) {
    playing_ = false;
    ExitProgram(0);
  }
}

const ReplayOutcome& ReplayPlayer::Finish() {
  const auto recorded = static_cast<int64_t>(replay_.frames.size());
  outcome_.frames = frame_ + 1;
  outcome_.score = FinalScore();
  // Left by the viewer, the game matched as far as it went.
  if (viewerLeft_) {
    outcome_.matches = outcome_.differsAt < 0;
    playing_ = false;
    return outcome_;
  }
  if (outcome_.differsAt < 0 && outcome_.frames != recorded) {
    outcome_.differsAt = outcome_.frames;
    outcome_.difference = "the game ended after " + std::to_string(outcome_.frames) +
                          " frames, not " + std::to_string(recorded);
  }
  if (outcome_.differsAt < 0 && outcome_.score != replay_.finalScore) {
    outcome_.differsAt = outcome_.frames;
    outcome_.difference = "the final score " + std::to_string(outcome_.score) + ", not " +
                          std::to_string(replay_.finalScore);
  }
  outcome_.matches = outcome_.differsAt < 0;
  playing_ = false;
  return outcome_;
}

}  // namespace fenwhit
