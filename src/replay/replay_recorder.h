#pragma once
// Records every game played through it: the state and the random seed at the game's start,
// then for each frame what the game read from its inputs and the beats it took, with a
// checksum of the game's state every kReplayChecksumEvery frames. It sits outermost, so a
// pause (held inside the inner platforms' input pump) leaves no trace in the recording.
//
// Frame k of a replay is what the game reads between its k-th input pump of the game and
// the next; frame 0 is what it reads before the first (the mouse button at the first
// frame's start). Checksum i is the state just before frame i * kReplayChecksumEvery is
// taken (when the frames end on a multiple, the last is the state at the end, which is not
// compared); the end is checked by the final score and the number of frames. The song of
// the player's that the game started with, if any, goes with it.
#include <functional>
#include <optional>
#include <string>

#include "audio/music.h"
#include "keep/calendar.h"
#include "platform/forwarding_platform.h"
#include "replay/replay_file.h"

namespace fenwhit {

class ReplayRecorder final : public ForwardingPlatform, public BeatSource {
 public:
  // finished receives each game once it has ended, or been left by closing the window.
  // The recorder takes over the frame loop's beats while it lives. calendar gives a game's
  // start time, read just after the inner platforms have seen the start.
  ReplayRecorder(Platform& inner, std::string player, std::function<void(Replay&&)> finished,
                 CalendarClock calendar = CalendarNow);
  ~ReplayRecorder() override;
  ReplayRecorder(const ReplayRecorder&) = delete;
  ReplayRecorder& operator=(const ReplayRecorder&) = delete;

  // The game start: the state is saved and the random generator reseeded here.
  void DiscardKeyPress() override;
  void PumpEvents() override;
  WindowEvent TakeWindowEvent() override;
  int32_t TakeBeats() override;

  bool Recording() const { return replay_.has_value(); }

 private:
  ReplayFrame ReadInputs();
  void Finish(int64_t score);

  std::string player_;
  std::function<void(Replay&&)> finished_;
  CalendarClock calendar_;
  std::optional<Replay> replay_;
  int64_t pumps_ = 0;
};

// The inputs a frame reads, as the platform holds them now.
ReplayFrame ReadFrameInputs(Platform& platform);
// The score a game ended with: its last score after the ending, else the running one.
int64_t FinalScore();
// The rules' state as the replays check it: the game's, and the beat count and flash the
// frame loop keeps beside it.
uint64_t ReplayChecksum();

}  // namespace fenwhit
