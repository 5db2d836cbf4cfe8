#pragma once
// Hands every drawing call to two renderers: one that watches the frames and one that
// draws them. Textures are the drawing one's.
#include "gfx/renderer.h"

namespace fenwhit::sim {

class TeeRenderer final : public Renderer {
 public:
  TeeRenderer(Renderer& watching, Renderer& drawing) : watch_(watching), draw_(drawing) {}

  void SetUpWindow(int32_t width, int32_t height) override {
    watch_.SetUpWindow(width, height);
    draw_.SetUpWindow(width, height);
  }
  void ClearFrame() override {
    watch_.ClearFrame();
    draw_.ClearFrame();
  }
  void PresentFrame() override {
    watch_.PresentFrame();
    draw_.PresentFrame();
  }
  void SetBlendAlpha() override {
    watch_.SetBlendAlpha();
    draw_.SetBlendAlpha();
  }
  void SetBlendAdditive() override {
    watch_.SetBlendAdditive();
    draw_.SetBlendAdditive();
  }
  void SetColor(int32_t r, int32_t g, int32_t b, int32_t a) override {
    watch_.SetColor(r, g, b, a);
    draw_.SetColor(r, g, b, a);
  }
  void FillRect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    watch_.FillRect(x, y, w, h);
    draw_.FillRect(x, y, w, h);
  }
  void FillRectCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    watch_.FillRectCorners(x1, y1, x2, y2);
    draw_.FillRectCorners(x1, y1, x2, y2);
  }
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float width) override {
    watch_.DrawLine(x1, y1, x2, y2, width);
    draw_.DrawLine(x1, y1, x2, y2, width);
  }
  void SetSceneTransform(float angle, float scale, int32_t dx, int32_t dy) override {
    watch_.SetSceneTransform(angle, scale, dx, dy);
    draw_.SetSceneTransform(angle, scale, dx, dy);
  }
  void SetSceneTransformXY(float angle, float scaleX, float scaleY, int32_t dx,
                           int32_t dy) override {
    watch_.SetSceneTransformXY(angle, scaleX, scaleY, dx, dy);
    draw_.SetSceneTransformXY(angle, scaleX, scaleY, dx, dy);
  }
  void ResetSceneTransform() override {
    watch_.ResetSceneTransform();
    draw_.ResetSceneTransform();
  }
  Texture CreateTexture(const Image* image, int nearest) override {
    watch_.CreateTexture(image, nearest);
    return draw_.CreateTexture(image, nearest);
  }
  void DrawSprite(int32_t x, int32_t y, const Texture& texture, float angle, float scale) override {
    watch_.DrawSprite(x, y, texture, angle, scale);
    draw_.DrawSprite(x, y, texture, angle, scale);
  }
  void DrawSpriteRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w, int32_t h,
                        const Texture& texture, float scale) override {
    watch_.DrawSpriteRegion(x, y, srcX, srcY, w, h, texture, scale);
    draw_.DrawSpriteRegion(x, y, srcX, srcY, w, h, texture, scale);
  }

 private:
  Renderer& watch_;
  Renderer& draw_;
};

}  // namespace fenwhit::sim
