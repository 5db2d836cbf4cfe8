#pragma once
// Every picture the game draws with, uploaded once at start-up (a screen-mode switch keeps the
// window's context, and with it the textures). The screens and the overlays beside them draw
// from here; the program fills it.
#include <vector>

#include "gfx/text.h"
#include "gfx/texture.h"

namespace fenwhit {

struct Pictures {
  Texture menu;       // "options_new.png"
  Texture ball;       // "metalball2.png"
  Texture cow;        // "Cow.png"
  Texture chicken;    // "Chicken.png"
  Texture kromby;     // "Kromby.png"
  Texture logo;       // "PlovixLogo.png"
  Texture corner;     // "corner2.png"
  Texture light;      // "light.png"
  Texture particle;   // "particle.png"
  Texture blackHole;  // "blackhole.png"
  Texture brick;      // "breakout2.png"
  Texture eventText;  // "bgeventtext.png"
  BitmapFont font;    // "32x64-alien.png"
};

extern Pictures pictures;

// Every texture of the set, the font's too, in the order of the fields.
std::vector<Texture> EveryTexture(const Pictures& set);

}  // namespace fenwhit
