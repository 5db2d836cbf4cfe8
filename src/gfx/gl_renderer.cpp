#include "gfx/gl_renderer.h"

#include <GL/gl.h>

#include "gfx/gl_setup.h"
#include "gfx/quad_geometry.h"
#include "gfx/warm_up.h"
#include "platform/platform.h"

namespace fenwhit {

namespace {

void DrawQuad(const std::array<float, 8>& corners) {
  glDisable(GL_TEXTURE_2D);
  glBegin(GL_QUADS);
  for (int i = 0; i < 8; i += 2) glVertex2f(corners[i], corners[i + 1]);
  glEnd();
}

void DrawPlaced(const PlacedQuad& quad, const Texture& texture) {
  const QuadPlacement& place = quad.placement;
  glPushMatrix();
  glTranslatef(place.pivotX, place.pivotY, 0.0f);
  glRotatef(place.angle, 0.0f, 0.0f, 1.0f);
  glScalef(place.scale, place.scale, 1.0f);
  glTranslatef(-place.halfW, -place.halfH, 0.0f);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture.name);
  const QuadCorners& corners = quad.corners;
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(corners.u[i], corners.v[i]);
    glVertex2i(corners.x[i], corners.y[i]);
  }
  glEnd();
  glPopMatrix();
}

}  // namespace

void GlRenderer::SetUpWindow(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
  drawable_ = platform_.DrawableSize();
  SetUpGlWindow(width, height, drawable_);
}

bool GlRenderer::FollowDrawable() {
  const PixelSize drawable = platform_.DrawableSize();
  if (drawable == drawable_) return false;
  drawable_ = drawable;
  FitGlViewport(width_, height_, drawable_);
  return true;
}

void GlRenderer::LookAtDrawableOnce() {
  if (!drawableDue_) return;
  drawableDue_ = false;
  // Nothing of this frame is drawn yet, so clearing again loses nothing.
  if (FollowDrawable()) ClearGlFrame();
}

void GlRenderer::ClearFrame() {
  // The drawable changes size when fullscreen is toggled or the desktop resizes the window.
  FollowDrawable();
  ClearGlFrame();
  glLoadIdentity();
  // The frame's events are taken after its clear, a fullscreen toggle among them: the
  // drawable is looked at again before the frame's first drawing.
  drawableDue_ = true;
}

void GlRenderer::PresentFrame() {
  LookAtDrawableOnce();
  platform_.SwapBuffers();
}

void GlRenderer::SetBlendAlpha() {
  UseBlendAlpha();
}

void GlRenderer::SetBlendAdditive() {
  UseBlendAdditive();
}

void GlRenderer::SetColor(int32_t r, int32_t g, int32_t b, int32_t a) {
  glColor4ub(static_cast<GLubyte>(r), static_cast<GLubyte>(g), static_cast<GLubyte>(b),
             static_cast<GLubyte>(a));
}

void GlRenderer::FillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  LookAtDrawableOnce();
  DrawQuad(RectCorners(x, y, w, h));
}

void GlRenderer::FillRectCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  LookAtDrawableOnce();
  DrawQuad(RectCornersBetween(x1, y1, x2, y2));
}

void GlRenderer::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float width) {
  LookAtDrawableOnce();
  glDisable(GL_TEXTURE_2D);
  SetGlLineWidth(width);
  glBegin(GL_LINES);
  glVertex2i(x1, y1);
  glVertex2i(x2, y2);
  glEnd();
}

void GlRenderer::SetSceneTransform(float angle, float scale, int32_t dx, int32_t dy) {
  SetSceneTransformXY(angle, scale, scale, dx, dy);
}

void GlRenderer::SetSceneTransformXY(float angle, float scaleX, float scaleY, int32_t dx,
                                     int32_t dy) {
  const ScenePlacement scene = PlaceScene(angle, scaleX, scaleY, dx, dy);
  glTranslatef(scene.centreX, scene.centreY, 0.0f);
  glRotatef(scene.angle, 0.0f, 0.0f, 1.0f);
  glScalef(scene.scaleX, scene.scaleY, 1.0f);
  glTranslatef(scene.backX, scene.backY, scene.backZ);
}

void GlRenderer::ResetSceneTransform() {
  glLoadIdentity();
}

Texture GlRenderer::CreateTexture(const Image* image, int nearest) {
  return UploadTexture(image, nearest);
}

void GlRenderer::DrawSprite(int32_t x, int32_t y, const Texture& texture, float angle,
                            float scale) {
  // A texture made from no image draws nothing.
  if (texture.width <= 0 || texture.height <= 0) return;
  LookAtDrawableOnce();
  DrawPlaced(PlaceSprite(x, y, texture, angle, scale), texture);
}

void GlRenderer::DrawSpriteRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w,
                                  int32_t h, const Texture& texture, float scale) {
  if (texture.width <= 0 || texture.height <= 0) return;
  LookAtDrawableOnce();
  DrawPlaced(PlaceRegion(x, y, srcX, srcY, w, h, texture, scale), texture);
}

void GlRenderer::WarmUp(const std::vector<Texture>& textures) {
  DrawEveryState(*this, textures);
  glFinish();
  ClearFrame();
}

}  // namespace fenwhit
