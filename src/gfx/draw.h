#pragma once
// Frame bracketing, blend modes, colour, untextured primitives and scene transforms.
#include <cstdint>

namespace fenwhit {

void ClearFrame();
void PresentFrame();
void SetBlendAlpha();
void SetBlendAdditive();
// Only the low 8 bits of each component count.
void SetColor(int32_t r, int32_t g, int32_t b, int32_t a);
void FillRect(int32_t x, int32_t y, int32_t w, int32_t h);
void FillRectCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float width);
// Rotates and scales the scene about (512, 384), drawn at (512 + dx, 384.5 + dy).
void SetSceneTransform(float angle, float scale, int32_t dx, int32_t dy);
void SetSceneTransformXY(float angle, float scaleX, float scaleY, int32_t dx, int32_t dy);
// Undoes every scene transform since the frame began: one unit per picture pixel again.
void ResetSceneTransform();

}  // namespace fenwhit
