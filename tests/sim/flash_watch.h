#pragma once
// The flashes of a simulated run: every frame drawn for real in an offscreen window with
// the game's batched renderer, its luminance counted as it is presented, and what each
// second of the run showed noted beside its count.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "feel/presented_flashes.h"
#include "gfx/batch_renderer.h"
#include "platform/sdl_platform.h"

namespace fenwhit::sim {

class FlashWatch {
 public:
  FlashWatch();
  // Opens the window at the game's first screen mode; false after saying why not.
  bool Open();
  Renderer& Drawing() { return drawing_; }
  // Once a frame, after it was presented: notes what it showed.
  void NoteFrame(bool inGame);
  // The most flashes in any second, whole frame and worst ninth, with the seconds that
  // flash more than once and what they showed.
  void Report() const;
  // Every second of the run: its most flashes, whole frame and worst ninth, and what showed.
  bool WriteSeconds(const std::string& path) const;
  int MostFlashesInOneSecond() const { return presented_.MostFlashesInOneSecond(); }

 private:
  struct Moment {
    bool inGame = false;
    bool applied = false;  // an event was applied in this second
    int32_t event = -2;    // the event applied last
    int32_t eventCount = 0;
    bool beatFlashes = false;  // the backdrop flashes on the beat
  };
  int WholeIn(size_t second) const;
  int NinthIn(size_t second) const;
  std::string Describe(size_t second) const;

  SdlPlatform window_;
  PresentedFlashes presented_;
  BatchRenderer drawing_;
  std::vector<Moment> moments_;
  int32_t lastApplied_ = -2;
  bool titled_ = false;
  int32_t titledEvent_ = 0;
};

}  // namespace fenwhit::sim
