#pragma once
// Runs the game's beat thread on the simulation's virtual clock. The beat thread
// sleeps in virtual milliseconds; whenever the main thread's clock moves past the end
// of such a sleep it hands over and waits until the beat thread sleeps again. The two
// threads never run at once, so a whole game replays exactly from its seed.
#include <condition_variable>
#include <mutex>

namespace fenwhit::sim {

class BeatLockstep {
 public:
  // Main thread: a beat track was opened at virtual time `now`; its thread follows.
  void TrackOpened(double now);
  // Main thread: runs every beat-thread step that is due by `now`.
  void CatchUp(double now);
  // Beat thread: waits `milliseconds` of virtual time.
  void Sleep(int milliseconds);
  // Beat thread: it is closing its beat track and will end without sleeping again.
  void ThreadEnding();
  // Beat thread: its virtual time.
  double BeatNow();

 private:
  enum class State { kIdle, kStarting, kSleeping, kRunning };

  std::mutex mutex_;
  std::condition_variable changed_;
  State state_ = State::kIdle;
  double beatNow_ = 0;
  double wake_ = 0;
};

// The one lockstep the beat thread's sleep function reaches.
BeatLockstep& TheLockstep();

}  // namespace fenwhit::sim
