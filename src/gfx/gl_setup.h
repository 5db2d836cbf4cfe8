#pragma once
// OpenGL state set up the same way by the immediate and the batched renderer.
#include <cstdint>

#include "gfx/texture.h"
#include "platform/letterbox.h"

namespace fenwhit {

struct Image;

// Viewport, texturing on, smooth shading, width x height units with y down, identity
// model-view, black clear colour. The units fill the largest centred part of the drawable
// they fit (one unit per pixel when the drawable is width x height).
void SetUpGlWindow(int32_t width, int32_t height, PixelSize drawable);
// Places the picture of width x height units in a drawable of another size; only the
// viewport and the scissor box change.
void FitGlViewport(int32_t width, int32_t height, PixelSize drawable);
// Clears the whole drawable, the bars outside the picture too.
void ClearGlFrame();
// Clears the picture, not the bars beside it, to an RGBA colour of 0 to 1 each.
void ClearGlPicture(const float* colour);
// Line widths are in units, so a scaled picture gets wider lines.
void SetGlLineWidth(float width);
// Picture pixels per unit, as the last viewport fitted them.
float GlPixelsPerUnit();
void UseBlendAlpha();
void UseBlendAdditive();
void UseNoBlend();
// Leaves texturing on and the new texture bound.
Texture UploadTexture(const Image* image, int nearest);

}  // namespace fenwhit
