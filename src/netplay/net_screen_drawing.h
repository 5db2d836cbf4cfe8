#pragma once
// The picture of the network screen: the menu behind it, dimmed, with the two choices, how
// the connection goes and the keys, in the menu's letters.
#include <functional>

namespace fenwhit {

class NetScreenPlatform;
class OverlayRenderer;

class NetScreenDrawing {
 public:
  // alsoDraw draws what else belongs on top (the volume bar).
  NetScreenDrawing(OverlayRenderer& frames, const NetScreenPlatform& screen,
                   std::function<void()> alsoDraw = {})
      : frames_(frames), screen_(screen), alsoDraw_(std::move(alsoDraw)) {}

  // Draws and presents one picture.
  void Show();

 private:
  OverlayRenderer& frames_;
  const NetScreenPlatform& screen_;
  std::function<void()> alsoDraw_;
};

}  // namespace fenwhit
