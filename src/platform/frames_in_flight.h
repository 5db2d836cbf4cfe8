#pragma once
// Keeps the drawing at most one frame behind the game. Swapping buffers only queues the
// frame where the driver does not wait for the screen (an offscreen or composited surface,
// Mesa's software renderer): a game that submits faster than the frames are drawn then piles
// frames up without bound, in memory and in delay. A fence after each swap is waited for one
// swap later, so the game's own pacing meets the drawing's real speed.
namespace fenwhit {

class FramesInFlight {
 public:
  FramesInFlight() = default;
  FramesInFlight(const FramesInFlight&) = delete;
  FramesInFlight& operator=(const FramesInFlight&) = delete;

  // Looks for the fence calls of the current context (GL 3.2 or ARB_sync); without them,
  // every swap is finished instead.
  void Start();
  // After each swap, with the context current.
  void AfterSwap();
  // Before the context goes.
  void Stop();

 private:
  struct Calls;
  const Calls* calls_ = nullptr;
  void* previous_ = nullptr;
  bool started_ = false;
};

}  // namespace fenwhit
