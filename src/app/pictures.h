#pragma once
// Loading every picture of the game into textures at start-up. A screen-mode switch keeps
// the window and its OpenGL context, so the textures last for the whole run.
#include <string>

#include "gfx/pictures.h"

namespace fenwhit {

// Start-up loading, in two parts around the seeding of the random numbers.
void LoadMenuPicture(const std::string& dataDirectory);
void LoadOtherPictures(const std::string& dataDirectory);

}  // namespace fenwhit
