#pragma once
// The seam between the game and OpenGL. Game code draws only through the free
// functions in draw.h, sprites.h and text.h, which forward to the current Renderer:
// the OpenGL one in the program, a recording or null one in tests and benchmarks.
#include <cstdint>
#include <vector>

#include "gfx/texture.h"

namespace fenwhit {

struct Image;

class Renderer {
 public:
  virtual ~Renderer() = default;

  // The fixed render state of a freshly opened window: viewport, texturing on, smooth
  // shading, one unit per pixel with y down, identity model-view, black clear colour.
  virtual void SetUpWindow(int32_t width, int32_t height) = 0;

  virtual void ClearFrame() = 0;
  virtual void PresentFrame() = 0;
  virtual void SetBlendAlpha() = 0;
  virtual void SetBlendAdditive() = 0;
  virtual void SetColor(int32_t r, int32_t g, int32_t b, int32_t a) = 0;
  virtual void FillRect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
  virtual void FillRectCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  virtual void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float width) = 0;
  virtual void SetSceneTransform(float angle, float scale, int32_t dx, int32_t dy) = 0;
  virtual void SetSceneTransformXY(float angle, float scaleX, float scaleY, int32_t dx,
                                   int32_t dy) = 0;
  // Scene transforms compose; this undoes them all, back to one unit per picture pixel, as
  // ClearFrame does without clearing (for drawing on top of a finished scene).
  virtual void ResetSceneTransform() = 0;
  // image may be null: the texture then has no contents and width and height -1.
  virtual Texture CreateTexture(const Image* image, int nearest) = 0;
  virtual void DrawSprite(int32_t x, int32_t y, const Texture& texture, float angle,
                          float scale) = 0;
  virtual void DrawSpriteRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w,
                                int32_t h, const Texture& texture, float scale) = 0;
  // Draws with every state and texture the game uses into the hidden frame and waits for it,
  // then clears it: a software OpenGL compiles each state's code at its first use, and would
  // stall a frame of play with it. Renderers without OpenGL do nothing.
  virtual void WarmUp(const std::vector<Texture>& /*textures*/) {}
};

Renderer& TheRenderer();
void SetRenderer(Renderer* renderer);

}  // namespace fenwhit
