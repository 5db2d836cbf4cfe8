#include "gfx/overlay_renderer.h"

#include <utility>

namespace fenwhit {

void OverlayRenderer::Send(const Command& c) {
  const int32_t* i = c.ints;
  const float* f = c.floats;
  switch (c.op) {
    case Op::kBlendAlpha:
      inner_.SetBlendAlpha();
      break;
    case Op::kBlendAdditive:
      inner_.SetBlendAdditive();
      break;
    case Op::kColor:
      inner_.SetColor(i[0], i[1], i[2], i[3]);
      break;
    case Op::kFillRect:
      inner_.FillRect(i[0], i[1], i[2], i[3]);
      break;
    case Op::kFillRectCorners:
      inner_.FillRectCorners(i[0], i[1], i[2], i[3]);
      break;
    case Op::kLine:
      inner_.DrawLine(i[0], i[1], i[2], i[3], f[0]);
      break;
    case Op::kScene:
      inner_.SetSceneTransform(f[0], f[1], i[0], i[1]);
      break;
    case Op::kSceneXY:
      inner_.SetSceneTransformXY(f[0], f[1], f[2], i[0], i[1]);
      break;
    case Op::kSceneReset:
      inner_.ResetSceneTransform();
      break;
    case Op::kSprite:
      inner_.DrawSprite(i[0], i[1], c.texture, f[0], f[1]);
      break;
    case Op::kRegion:
      inner_.DrawSpriteRegion(i[0], i[1], i[2], i[3], i[4], i[5], c.texture, f[0]);
      break;
  }
}

void OverlayRenderer::Handle(const Command& command) {
  Send(command);
  if (runningOverlays_) return;
  drawing_.push_back(command);
  switch (command.op) {
    case Op::kBlendAlpha:
      state_.blend = Blend::kAlpha;
      break;
    case Op::kBlendAdditive:
      state_.blend = Blend::kAdditive;
      break;
    case Op::kColor:
      for (int k = 0; k < 4; ++k) state_.color[k] = command.ints[k];
      break;
    default:
      break;
  }
}

void OverlayRenderer::SendState(const State& state) {
  if (state.blend == Blend::kAlpha) inner_.SetBlendAlpha();
  if (state.blend == Blend::kAdditive) inner_.SetBlendAdditive();
  inner_.SetColor(state.color[0], state.color[1], state.color[2], state.color[3]);
}

void OverlayRenderer::ClearInner() {
  inner_.ClearFrame();
}

void OverlayRenderer::RestoreTransform(size_t end) {
  inner_.ResetSceneTransform();
  size_t from = 0;
  for (size_t k = 0; k < end; ++k) {
    if (drawing_[k].op == Op::kSceneReset) from = k + 1;
  }
  for (size_t k = from; k < end; ++k) {
    const Op op = drawing_[k].op;
    if (op == Op::kScene || op == Op::kSceneXY) Send(drawing_[k]);
  }
}

void OverlayRenderer::SetUpWindow(int32_t width, int32_t height) {
  inner_.SetUpWindow(width, height);
  if (runningOverlays_) return;
  hasLastFrame_ = false;
  last_.clear();
  drawing_.clear();
  drawingStart_ = state_;
  ownFrameStart_ = 0;
}

void OverlayRenderer::ClearFrame() {
  ClearInner();
  if (runningOverlays_) return;
  // The pause screen clears only through PresentOwnFrame: this is the game's next frame.
  ownFrame_ = false;
  drawing_.clear();
  drawingStart_ = state_;
}

void OverlayRenderer::AddOverlay(Overlay overlay) {
  // Growing the list would move the overlay that is running.
  if (runningOverlays_) {
    addedWhileRunning_.push_back(std::move(overlay));
  } else {
    overlays_.push_back(std::move(overlay));
  }
}

void OverlayRenderer::RunOverlays() {
  if (overlays_.empty()) return;
  runningOverlays_ = true;
  for (const Overlay& overlay : overlays_) overlay();
  runningOverlays_ = false;
  for (Overlay& added : addedWhileRunning_) overlays_.push_back(std::move(added));
  addedWhileRunning_.clear();
  SendState(state_);
  RestoreTransform(drawing_.size());
}

void OverlayRenderer::PresentFrame() {
  if (runningOverlays_) return;
  // Whatever followed a PresentOwnFrame was the game's own drawing after all.
  ownFrame_ = false;
  RunOverlays();
  inner_.PresentFrame();
  std::swap(drawing_, last_);
  drawing_.clear();
  lastStart_ = drawingStart_;
  lastEnd_ = state_;
  drawingStart_ = state_;
  hasLastFrame_ = true;
}

void OverlayRenderer::BeginOwnFrame() {
  if (ownFrame_) return;
  ownFrame_ = true;
  ownFrameStart_ = drawing_.size();
  gameStateBeforeOwnFrame_ = state_;
}

void OverlayRenderer::DrawLastFrame() {
  if (runningOverlays_) return;
  BeginOwnFrame();
  if (!hasLastFrame_) return;
  // Cleared again: scene transforms compose, so the kept frame's own must start from none,
  // and a window resized since (fullscreen toggled while paused) gets its new viewport.
  ClearInner();
  SendState(lastStart_);
  for (const Command& command : last_) Send(command);
  state_ = lastEnd_;
}

void OverlayRenderer::PresentOwnFrame() {
  if (runningOverlays_) return;
  inner_.PresentFrame();
  ClearInner();
  if (ownFrame_) {
    drawing_.resize(ownFrameStart_);
    state_ = gameStateBeforeOwnFrame_;
  }
  SendState(state_);
  // The game's frame may have set its scene transform before the pause began.
  RestoreTransform(drawing_.size());
  ownFrame_ = false;
  BeginOwnFrame();
}

void OverlayRenderer::SetBlendAlpha() {
  Handle({Op::kBlendAlpha, {}, {}, {}});
}

void OverlayRenderer::SetBlendAdditive() {
  Handle({Op::kBlendAdditive, {}, {}, {}});
}

void OverlayRenderer::SetColor(int32_t r, int32_t g, int32_t b, int32_t a) {
  Handle({Op::kColor, {r, g, b, a}, {}, {}});
}

void OverlayRenderer::FillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  Handle({Op::kFillRect, {x, y, w, h}, {}, {}});
}

void OverlayRenderer::FillRectCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Handle({Op::kFillRectCorners, {x1, y1, x2, y2}, {}, {}});
}

void OverlayRenderer::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float width) {
  Handle({Op::kLine, {x1, y1, x2, y2}, {width}, {}});
}

void OverlayRenderer::SetSceneTransform(float angle, float scale, int32_t dx, int32_t dy) {
  Handle({Op::kScene, {dx, dy}, {angle, scale}, {}});
}

void OverlayRenderer::SetSceneTransformXY(float angle, float scaleX, float scaleY, int32_t dx,
                                          int32_t dy) {
  Handle({Op::kSceneXY, {dx, dy}, {angle, scaleX, scaleY}, {}});
}

void OverlayRenderer::ResetSceneTransform() {
  Handle({Op::kSceneReset, {}, {}, {}});
}

Texture OverlayRenderer::CreateTexture(const Image* image, int nearest) {
  return inner_.CreateTexture(image, nearest);
}

void OverlayRenderer::WarmUp(const std::vector<Texture>& textures) {
  inner_.WarmUp(textures);
}

void OverlayRenderer::DrawSprite(int32_t x, int32_t y, const Texture& texture, float angle,
                                 float scale) {
  Handle({Op::kSprite, {x, y}, {angle, scale}, texture});
}

void OverlayRenderer::DrawSpriteRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w,
                                       int32_t h, const Texture& texture, float scale) {
  Handle({Op::kRegion, {x, y, srcX, srcY, w, h}, {scale}, texture});
}

}  // namespace fenwhit
