#pragma once
// Every picture of the game, decoded once at start-up and kept so a screen-mode
// switch can upload them again.
#include <string>

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

// Start-up loading, in two parts around the seeding of the random numbers.
void LoadMenuPicture(const std::string& dataDirectory);
void LoadOtherPictures(const std::string& dataDirectory);
// After a screen-mode switch: upload the kept images again and read the font anew.
void RecreateTextures(const std::string& dataDirectory);

}  // namespace fenwhit
