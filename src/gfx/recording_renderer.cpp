#include "gfx/recording_renderer.h"

#include "image/png.h"

namespace fenwhit {

// Callers test keepCalls_ first, so a benchmark's renderer builds no record at all.
void RecordingRenderer::Record(DrawCall call) {
  calls_.push_back(std::move(call));
}

void RecordingRenderer::SetUpWindow(int32_t width, int32_t height) {
  if (keepCalls_) Record({"window", {width, height}, {}, 0});
}
void RecordingRenderer::ClearFrame() {
  ++cleared_;
  if (keepCalls_) Record({"clear", {}, {}, 0});
}
void RecordingRenderer::PresentFrame() {
  ++presented_;
  if (keepCalls_) Record({"present", {}, {}, 0});
}
void RecordingRenderer::SetBlendAlpha() {
  if (keepCalls_) Record({"blend_alpha", {}, {}, 0});
}
void RecordingRenderer::SetBlendAdditive() {
  if (keepCalls_) Record({"blend_additive", {}, {}, 0});
}
void RecordingRenderer::SetColor(int32_t r, int32_t g, int32_t b, int32_t a) {
  if (keepCalls_) Record({"color", {r & 255, g & 255, b & 255, a & 255}, {}, 0});
}
void RecordingRenderer::FillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (keepCalls_) Record({"fill_rect", {x, y, w, h}, {}, 0});
}
void RecordingRenderer::FillRectCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (keepCalls_) Record({"fill_corners", {x1, y1, x2, y2}, {}, 0});
}
void RecordingRenderer::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float width) {
  if (keepCalls_) Record({"line", {x1, y1, x2, y2}, {width}, 0});
}
void RecordingRenderer::SetSceneTransform(float angle, float scale, int32_t dx, int32_t dy) {
  if (keepCalls_) Record({"scene", {dx, dy}, {angle, scale}, 0});
}
void RecordingRenderer::SetSceneTransformXY(float angle, float scaleX, float scaleY, int32_t dx,
                                            int32_t dy) {
  if (keepCalls_) Record({"scene_xy", {dx, dy}, {angle, scaleX, scaleY}, 0});
}
void RecordingRenderer::ResetSceneTransform() {
  if (keepCalls_) Record({"scene_reset", {}, {}, 0});
}
Texture RecordingRenderer::CreateTexture(const Image* image, int nearest) {
  Texture texture;
  texture.name = nextName_++;
  if (image != nullptr) {
    texture.width = image->width;
    texture.height = image->height;
  }
  if (keepCalls_) Record({"texture", {texture.width, texture.height, nearest}, {}, texture.name});
  return texture;
}
void RecordingRenderer::DrawSprite(int32_t x, int32_t y, const Texture& texture, float angle,
                                   float scale) {
  if (keepCalls_) Record({"sprite", {x, y}, {angle, scale}, texture.name});
}
void RecordingRenderer::DrawSpriteRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY,
                                         int32_t w, int32_t h, const Texture& texture,
                                         float scale) {
  if (keepCalls_) Record({"region", {x, y, srcX, srcY, w, h}, {scale}, texture.name});
}

std::vector<DrawCall> RecordingRenderer::CallsOf(const std::string& op) const {
  std::vector<DrawCall> out;
  for (const auto& call : calls_) {
    if (call.op == op) out.push_back(call);
  }
  return out;
}

}  // namespace fenwhit
