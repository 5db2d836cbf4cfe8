#include "ui/hud.h"

namespace fenwhit {

// Placeholder: the body comes with the HUD.
void drawHud() {}

}  // namespace fenwhit
