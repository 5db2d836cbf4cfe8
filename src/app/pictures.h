#pragma once
// Loading every picture of the game, decoded once at start-up and kept so a screen-mode
// switch can upload them again.
#include <string>

#include "gfx/pictures.h"

namespace fenwhit {

// Start-up loading, in two parts around the seeding of the random numbers.
void LoadMenuPicture(const std::string& dataDirectory);
void LoadOtherPictures(const std::string& dataDirectory);
// After a screen-mode switch: upload the kept images again and read the font anew.
void RecreateTextures(const std::string& dataDirectory);

}  // namespace fenwhit
