#pragma once
// The picture of a paused game: the frozen scene, dimmed, with "PAUSED" over it and the
// keys to go on and to leave beneath.
#include <functional>

namespace fenwhit {

class OverlayRenderer;

class PauseScreen {
 public:
  // alsoDraw draws what else belongs on top (the volume bar).
  PauseScreen(OverlayRenderer& frames, std::function<void()> alsoDraw)
      : frames_(frames), alsoDraw_(std::move(alsoDraw)) {}

  // Draws and presents one picture.
  void Show();

 private:
  OverlayRenderer& frames_;
  std::function<void()> alsoDraw_;
};

}  // namespace fenwhit
