#pragma once
// OpenGL state set up the same way by the immediate and the batched renderer.
#include <cstdint>

#include "gfx/texture.h"

namespace fenwhit {

struct Image;

// Viewport, texturing on, smooth shading, one unit per pixel with y down, identity
// model-view, black clear colour.
void SetUpGlWindow(int32_t width, int32_t height);
void UseBlendAlpha();
void UseBlendAdditive();
// Leaves texturing on and the new texture bound.
Texture UploadTexture(const Image* image, int nearest);

}  // namespace fenwhit
