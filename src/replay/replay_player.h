#pragma once
// Plays a recorded game back through the real frame loop: from the game's start it
// restores the recorded state and random seed, and gives the game, frame by frame, the
// inputs and beats it read when it was played. Every stored checksum is compared on the
// way. Watching, the player's own Esc or closing the window leaves; the pause, F11 and the
// volume keys work as in a game, in the platforms beneath. Checking, it stops at the first
// difference.
#include <cstdint>
#include <string>

#include "audio/music.h"
#include "platform/forwarding_platform.h"
#include "replay/replay_file.h"

namespace fenwhit {

struct ReplayOutcome {
  bool matches = false;
  // The frame at which the game first came out otherwise, and how; -1 while it matches.
  int64_t differsAt = -1;
  std::string difference;
  int64_t frames = 0;  // frames played
  int64_t score = 0;
};

class ReplayPlayer final : public ForwardingPlatform, public BeatSource {
 public:
  enum class Mode { kWatch, kCheck };
  ReplayPlayer(Platform& inner, Mode mode);
  ~ReplayPlayer() override;
  ReplayPlayer(const ReplayPlayer&) = delete;
  ReplayPlayer& operator=(const ReplayPlayer&) = delete;

  // The game to play next; its kind and screen mode are the caller's to set up.
  void Load(Replay replay);
  // After the game has ended or been left: compares its end with the recording's.
  const ReplayOutcome& Finish();

  void DiscardKeyPress() override;
  void PumpEvents() override;
  bool KeyHeld(int scanCode) const override;
  MouseState ReadMouse() override;
  WindowEvent TakeWindowEvent() override;
  int32_t TakeBeats() override;

 private:
  const ReplayFrame& Current() const { return replay_.frames[static_cast<size_t>(frame_)]; }
  // Notes the first difference; checking, the game stops there.
  void Differs(int64_t frame, std::string what);

  Mode mode_;
  Replay replay_;
  bool playing_ = false;
  bool viewerLeft_ = false;
  int64_t frame_ = 0;
  ReplayOutcome outcome_;
};

}  // namespace fenwhit
