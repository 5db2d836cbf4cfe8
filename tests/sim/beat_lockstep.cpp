#include "sim/beat_lockstep.h"

namespace fenwhit::sim {

void BeatLockstep::TrackOpened(double now) {
  std::lock_guard lock(mutex_);
  state_ = State::kStarting;
  beatNow_ = now;
}

void BeatLockstep::CatchUp(double now) {
  std::unique_lock lock(mutex_);
  // A starting thread counts its first beat at once; the frame must see it.
  changed_.wait(lock, [this] { return state_ != State::kStarting; });
  while (state_ == State::kSleeping && now >= wake_) {
    beatNow_ = wake_;
    state_ = State::kRunning;
    changed_.notify_all();
    changed_.wait(lock, [this] { return state_ != State::kRunning; });
  }
}

void BeatLockstep::Sleep(int milliseconds) {
  std::unique_lock lock(mutex_);
  wake_ = beatNow_ + milliseconds / 1000.0;
  state_ = State::kSleeping;
  changed_.notify_all();
  changed_.wait(lock, [this] { return state_ == State::kRunning; });
}

void BeatLockstep::ThreadEnding() {
  std::lock_guard lock(mutex_);
  state_ = State::kIdle;
  changed_.notify_all();
}

double BeatLockstep::BeatNow() {
  std::lock_guard lock(mutex_);
  return beatNow_;
}

BeatLockstep& TheLockstep() {
  static BeatLockstep lockstep;
  return lockstep;
}

}  // namespace fenwhit::sim
