#pragma once
// The picture of a paused game: the frozen scene, dimmed, with "PAUSED" over it and the
// keys to go on and to leave beneath.
#include <functional>
#include <string>

namespace fenwhit {

class OverlayRenderer;

class PauseScreen {
 public:
  // alsoDraw draws what else belongs on top (the volume bar).
  PauseScreen(OverlayRenderer& frames, std::function<void()> alsoDraw)
      : frames_(frames), alsoDraw_(std::move(alsoDraw)) {}

  // Draws and presents one picture.
  void Show();
  // What the picture says over the game ("PAUSED" unless set; a network game says who).
  void SetTitle(std::string title) { title_ = std::move(title); }

 private:
  OverlayRenderer& frames_;
  std::function<void()> alsoDraw_;
  std::string title_ = "PAUSED";
};

}  // namespace fenwhit
