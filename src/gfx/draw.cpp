#include "gfx/draw.h"

#include <cassert>

#include "gfx/renderer.h"
#include "gfx/sprites.h"

namespace fenwhit {

namespace {
Renderer* currentRenderer = nullptr;
}

Renderer& TheRenderer() {
  assert(currentRenderer != nullptr);
  return *currentRenderer;
}

void SetRenderer(Renderer* renderer) { currentRenderer = renderer; }

void ClearFrame() { TheRenderer().ClearFrame(); }
void PresentFrame() { TheRenderer().PresentFrame(); }
void SetBlendAlpha() { TheRenderer().SetBlendAlpha(); }
void SetBlendAdditive() { TheRenderer().SetBlendAdditive(); }
void SetColor(int32_t r, int32_t g, int32_t b, int32_t a) { TheRenderer().SetColor(r, g, b, a); }
void FillRect(int32_t x, int32_t y, int32_t w, int32_t h) { TheRenderer().FillRect(x, y, w, h); }
void FillRectCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  TheRenderer().FillRectCorners(x1, y1, x2, y2);
}
void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float width) {
  TheRenderer().DrawLine(x1, y1, x2, y2, width);
}
void SetSceneTransform(float angle, float scale, int32_t dx, int32_t dy) {
  TheRenderer().SetSceneTransform(angle, scale, dx, dy);
}
void SetSceneTransformXY(float angle, float scaleX, float scaleY, int32_t dx, int32_t dy) {
  TheRenderer().SetSceneTransformXY(angle, scaleX, scaleY, dx, dy);
}

void ResetSceneTransform() {
  TheRenderer().ResetSceneTransform();
}

Texture CreateTexture(const std::optional<Image>& image, int nearest) {
  return TheRenderer().CreateTexture(image ? &*image : nullptr, nearest);
}
void DrawSprite(int32_t x, int32_t y, const Texture& texture, float angle, float scale) {
  TheRenderer().DrawSprite(x, y, texture, angle, scale);
}
void DrawSpriteRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w, int32_t h,
                      const Texture& texture, float scale) {
  TheRenderer().DrawSpriteRegion(x, y, srcX, srcY, w, h, texture, scale);
}

}  // namespace fenwhit
