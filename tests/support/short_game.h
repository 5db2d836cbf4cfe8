#pragma once
// The script of a short game: started from the menu with Space, a beat handed over every 20
// frames, left with Esc after `length` frames, and then the program left from the menu.
#include <functional>
#include <memory>

#include "audio/music.h"
#include "platform/test_platform.h"
#include "support/beat_feeder.h"

namespace fenwhit::testing {

// everyFrame, when given, sees the number of each of the game's frames (1, 2, ...). The
// feeder is a BeatFeeder, or another with its Deliver().
template <typename Feeder = BeatFeeder>
TestPlatform::Script ShortGameScript(Feeder& feeder, int length,
                                     std::function<void(int)> everyFrame = {}) {
  auto frames = std::make_shared<int>(0);
  return [&feeder, length, everyFrame, frames](TestPlatform& p, int pump) {
    if (pump == 0) p.Press(scan::kSpace);
    if (pump == 1) p.Release(scan::kSpace);
    if (!BeatThreadRunning()) {
      if (*frames > 0) p.Press(scan::kEsc);
      return;
    }
    const int frame = ++*frames;
    if (everyFrame) everyFrame(frame);
    if (frame % 20 == 0) feeder.Deliver();
    if (frame == length) p.Press(scan::kEsc);
  };
}

}  // namespace fenwhit::testing
