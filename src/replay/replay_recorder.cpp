#include "replay/replay_recorder.h"

#include "app/display.h"
#include "game/game_state.h"
#include "game/random.h"
#include "replay/game_snapshot.h"

namespace fenwhit {

ReplayFrame ReadFrameInputs(Platform& platform) {
  ReplayFrame frame;
  for (int code = 0; code < scan::kCount; ++code) {
    if (platform.KeyHeld(code)) frame.keys[code / 64] |= uint64_t{1} << (code % 64);
  }
  frame.mouseButtons = platform.ReadMouse().buttons & 7;
  return frame;
}

int64_t FinalScore() {
  return game.gameOver != 0 ? game.lastScore : game.score;
}

uint64_t ReplayChecksum() {
  uint64_t hash = GameChecksum();
  for (const int32_t value : {beatCount.load(), beatFlash.load()}) {
    hash = (hash ^ static_cast<uint32_t>(value)) * 1099511628211ull;
  }
  return hash;
}

ReplayRecorder::ReplayRecorder(Platform& inner, std::string player,
                               std::function<void(Replay&&)> finished, CalendarClock calendar)
    : ForwardingPlatform(inner),
      player_(std::move(player)),
      finished_(std::move(finished)),
      calendar_(std::move(calendar)) {
  SetBeatSource(this);
}

ReplayRecorder::~ReplayRecorder() {
  SetBeatSource(nullptr);
}

void ReplayRecorder::DiscardKeyPress() {
  inner().DiscardKeyPress();
  // Drawn from the generator, itself seeded from the clock at start-up (or by a test).
  const uint64_t seed = randomSeedBits();
  seedRandom(seed);
  Replay replay;
  replay.gameVersion = FENWHIT_VERSION;
  replay.kind = game.twoPaddles != 0 ? 1 : 0;
  replay.screenMode = screenMode.index;
  replay.seed = seed;
  replay.startTime = calendar_();
  replay.player = player_;
  replay.architecture = ThisArchitecture();
  replay.startState = SaveGameState();
  replay.checksums.push_back(ReplayChecksum());
  replay.frames.push_back(ReadFrameInputs(inner()));
  replay_ = std::move(replay);
  pumps_ = 0;
}

void ReplayRecorder::PumpEvents() {
  // The first pump after the game's last frame: the game has ended.
  if (replay_ && !BeatThreadRunning()) Finish(game.lastScore);
  if (replay_ && replay_->frames.size() % kReplayChecksumEvery == 0) {
    replay_->checksums.push_back(ReplayChecksum());
  }
  inner().PumpEvents();
  if (replay_) replay_->frames.push_back(ReadFrameInputs(inner()));
}

WindowEvent ReplayRecorder::TakeWindowEvent() {
  const WindowEvent event = inner().TakeWindowEvent();
  if (event == WindowEvent::kClose && replay_) {
    replay_->frames.back().close = true;
    Finish(FinalScore());
  }
  return event;
}

int32_t ReplayRecorder::TakeBeats() {
  const int32_t beats = TakeBeatThreadBeats();
  if (replay_) replay_->frames.back().beats += beats;
  return beats;
}

void ReplayRecorder::Finish(int64_t score) {
  Replay replay = std::move(*replay_);
  replay_.reset();
  // The file keeps a checksum for every whole stretch of frames; the end itself is
  // checked by the score and the frame count.
  if (replay.frames.size() % kReplayChecksumEvery == 0)
    replay.checksums.push_back(ReplayChecksum());
  replay.finalScore = score;
  // The song stays the game's until the next game starts, so it is read here, at the end.
  const GameSong song = CurrentGameSong();
  replay.song = FitReplaySong(song.title, song.contentKey, song.path);
  if (finished_) finished_(std::move(replay));
}

}  // namespace fenwhit
