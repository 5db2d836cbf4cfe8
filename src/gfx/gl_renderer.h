#pragma once
// Drawing with fixed-function OpenGL in immediate mode, on the current context.
#include "gfx/renderer.h"
#include "platform/letterbox.h"

namespace fenwhit {

class Platform;

class GlRenderer : public Renderer {
 public:
  // Frames are shown by swapping the platform window's buffers.
  explicit GlRenderer(Platform& platform) : platform_(platform) {}

  void SetUpWindow(int32_t width, int32_t height) override;

  void ClearFrame() override;
  void PresentFrame() override;
  void SetBlendAlpha() override;
  void SetBlendAdditive() override;
  void SetColor(int32_t r, int32_t g, int32_t b, int32_t a) override;
  void FillRect(int32_t x, int32_t y, int32_t w, int32_t h) override;
  void FillRectCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float width) override;
  void SetSceneTransform(float angle, float scale, int32_t dx, int32_t dy) override;
  void SetSceneTransformXY(float angle, float scaleX, float scaleY, int32_t dx,
                           int32_t dy) override;
  void ResetSceneTransform() override;
  Texture CreateTexture(const Image* image, int nearest) override;
  void DrawSprite(int32_t x, int32_t y, const Texture& texture, float angle, float scale) override;
  void DrawSpriteRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w, int32_t h,
                        const Texture& texture, float scale) override;
  void WarmUp(const std::vector<Texture>& textures) override;

 private:
  // Fits the viewport to the drawable when its size changed; true when it did.
  bool FollowDrawable();
  // The first time after a clear: follows the drawable, and clears again when it changed.
  void LookAtDrawableOnce();

  Platform& platform_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  PixelSize drawable_;
  bool drawableDue_ = false;
};

}  // namespace fenwhit
