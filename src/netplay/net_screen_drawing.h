#pragma once
// The picture of the network screen: the menu behind it, dimmed, with the two choices, how
// the connection goes and the keys, in the menu's letters.
#include <functional>
#include <utility>

namespace fenwhit {

struct NetScreenView;
class OverlayRenderer;

class NetScreenDrawing {
 public:
  // alsoDraw draws what else belongs on top (the volume bar).
  explicit NetScreenDrawing(OverlayRenderer& frames, std::function<void()> alsoDraw = {})
      : frames_(frames), alsoDraw_(std::move(alsoDraw)) {}

  // Draws and presents one picture.
  void Show(const NetScreenView& view);

 private:
  OverlayRenderer& frames_;
  std::function<void()> alsoDraw_;
};

}  // namespace fenwhit
