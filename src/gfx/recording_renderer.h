#pragma once
// A renderer that draws nothing and writes down every call, for tests and benchmarks.
#include <string>
#include <vector>

#include "gfx/renderer.h"

namespace fenwhit {

struct DrawCall {
  std::string op;  // "window", "clear", "present", "blend_alpha", "blend_additive", "color",
                   // "fill_rect", "fill_corners", "line", "scene", "scene_xy", "scene_reset",
                   // "texture", "sprite", "region"
  // Integer arguments in the order of the call (colour r, g, b, a; rect x, y, w, h; line
  // x1, y1, x2, y2; sprite x, y; region x, y, srcX, srcY, w, h; scene dx, dy).
  std::vector<int> ints;
  // Float arguments in the order of the call (line width; scene angle, scale(s);
  // sprite angle, scale; region scale).
  std::vector<float> floats;
  unsigned textureName = 0;
};

class RecordingRenderer : public Renderer {
 public:
  // When false, only frames are counted and nothing is stored (for benchmarks).
  explicit RecordingRenderer(bool keepCalls = true) : keepCalls_(keepCalls) {}

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

  const std::vector<DrawCall>& Calls() const { return calls_; }
  std::vector<DrawCall> CallsOf(const std::string& op) const;
  void ClearCalls() { calls_.clear(); }
  int Presented() const { return presented_; }
  int Cleared() const { return cleared_; }

 protected:
  void Record(DrawCall call);

 private:
  bool keepCalls_;
  std::vector<DrawCall> calls_;
  int presented_ = 0;
  int cleared_ = 0;
  unsigned nextName_ = 1;
};

}  // namespace fenwhit
