#pragma once
// The picture of the calibration: the menu behind it, dimmed, with what to do or how it
// came out, in the menu's letters. Nothing in it moves with the beat: the player goes by
// the sound alone.
#include <functional>
#include <utility>

namespace fenwhit {

struct CalibrationView;
class OverlayRenderer;

class CalibrationDrawing {
 public:
  // alsoDraw draws what else belongs on top (the volume bar).
  explicit CalibrationDrawing(OverlayRenderer& frames, std::function<void()> alsoDraw = {})
      : frames_(frames), alsoDraw_(std::move(alsoDraw)) {}

  // Draws and presents one picture.
  void Show(const CalibrationView& view);

 private:
  OverlayRenderer& frames_;
  std::function<void()> alsoDraw_;
};

}  // namespace fenwhit
