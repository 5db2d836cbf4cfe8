#pragma once
// A software OpenGL compiles the code for each drawing state the first time it is used, and
// the frame that uses it waits. Drawing once with every state the game uses, before play,
// moves those waits to start-up.
#include <vector>

#include "gfx/texture.h"

namespace fenwhit {

class Renderer;

// Plain quads and lines, opaque and translucent, and every texture, in both blend modes,
// inside the picture and reaching out of it, all small. The caller waits for them and
// clears the frame.
void DrawEveryState(Renderer& renderer, const std::vector<Texture>& textures);

}  // namespace fenwhit
