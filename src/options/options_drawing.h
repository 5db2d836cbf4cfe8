#pragma once
// The picture of the options screen: the menu behind it, dimmed, with the options and what
// each is set to, in the game's own letters; and the menu's foot, where O opens it.
namespace fenwhit {

struct OptionsView;
class OptionsPlatform;
class OverlayRenderer;

class OptionsDrawing {
 public:
  explicit OptionsDrawing(OverlayRenderer& frames) : frames_(frames) {}

  // Draws and presents one picture.
  void Show(const OptionsView& view);

 private:
  OverlayRenderer& frames_;
};

// An overlay for the menu: the options key after the keys its picture names at its foot.
void DrawOptionsKey(const OptionsPlatform& options);

}  // namespace fenwhit
