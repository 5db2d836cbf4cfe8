#include "gfx/gl_renderer.h"

#include <GL/gl.h>

#include "image/png.h"
#include "platform/platform.h"

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

namespace fenwhit {

void GlRenderer::SetUpWindow(int32_t width, int32_t height) {
  glViewport(0, 0, width, height);
  glEnable(GL_TEXTURE_2D);
  glShadeModel(GL_SMOOTH);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, static_cast<double>(width), static_cast<double>(height), 0.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

void GlRenderer::ClearFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
}

void GlRenderer::PresentFrame() { platform_.SwapBuffers(); }

void GlRenderer::SetBlendAlpha() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void GlRenderer::SetBlendAdditive() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

void GlRenderer::SetColor(int32_t r, int32_t g, int32_t b, int32_t a) {
  glColor4ub(static_cast<GLubyte>(r), static_cast<GLubyte>(g), static_cast<GLubyte>(b),
             static_cast<GLubyte>(a));
}

void GlRenderer::FillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  glDisable(GL_TEXTURE_2D);
  glBegin(GL_QUADS);
  glVertex2f(static_cast<float>(x), static_cast<float>(y));
  glVertex2f(static_cast<float>(x), static_cast<float>(y + h));
  glVertex2f(static_cast<float>(x + w), static_cast<float>(y + h));
  glVertex2f(static_cast<float>(x + w), static_cast<float>(y));
  glEnd();
}

void GlRenderer::FillRectCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  glDisable(GL_TEXTURE_2D);
  glBegin(GL_QUADS);
  glVertex2f(static_cast<float>(x1), static_cast<float>(y1));
  glVertex2f(static_cast<float>(x2), static_cast<float>(y1));
  glVertex2f(static_cast<float>(x2), static_cast<float>(y2));
  glVertex2f(static_cast<float>(x1), static_cast<float>(y2));
  glEnd();
}

void GlRenderer::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, float width) {
  glDisable(GL_TEXTURE_2D);
  glLineWidth(width);
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
  glTranslatef(static_cast<float>(dx) + 512.0f, static_cast<float>(dy) + 384.0f + 0.5f, 0.0f);
  glRotatef(angle, 0.0f, 0.0f, 1.0f);
  glScalef(scaleX, scaleY, 1.0f);
  // z = 1 puts the scene on the near edge of the depth range, where it is still drawn.
  glTranslatef(-512.0f, -384.0f, 1.0f);
}

Texture GlRenderer::CreateTexture(const Image* image, int nearest) {
  Texture texture;
  GLuint name = 0;
  glEnable(GL_TEXTURE_2D);
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  if (image != nullptr && image->width > 0 && image->height > 0) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image->width, image->height, 0, GL_BGRA_EXT,
                 GL_UNSIGNED_BYTE, image->pixels.data());
    texture.width = image->width;
    texture.height = image->height;
  }
  const GLint filter = nearest == 0 ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  texture.name = name;
  return texture;
}

void GlRenderer::DrawSprite(int32_t x, int32_t y, const Texture& texture, float angle,
                            float scale) {
  // A texture made from no image draws nothing.
  if (texture.width <= 0 || texture.height <= 0) return;
  const float halfW = static_cast<float>(texture.width / 2);
  const float halfH = static_cast<float>(texture.height / 2);
  glPushMatrix();
  glTranslatef(static_cast<float>(x) + halfW, static_cast<float>(y) + halfH + 0.5f, 0.0f);
  glRotatef(angle, 0.0f, 0.0f, 1.0f);
  glScalef(scale, scale, 1.0f);
  glTranslatef(-halfW, -halfH, 0.0f);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture.name);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2i(0, 0);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2i(0, texture.height);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2i(texture.width, texture.height);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2i(texture.width, 0);
  glEnd();
  glPopMatrix();
}

void GlRenderer::DrawSpriteRegion(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w,
                                  int32_t h, const Texture& texture, float scale) {
  if (texture.width <= 0 || texture.height <= 0) return;
  const float halfW = static_cast<float>(w / 2);
  const float halfH = static_cast<float>(h / 2);
  glPushMatrix();
  glTranslatef(static_cast<float>(x) + halfW, static_cast<float>(y) + halfH, 0.0f);
  glRotatef(0.0f, 0.0f, 0.0f, 1.0f);
  glScalef(scale, scale, 1.0f);
  glTranslatef(-halfW, -halfH, 0.0f);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture.name);
  const float width = static_cast<float>(texture.width);
  const float height = static_cast<float>(texture.height);
  const float u0 = static_cast<float>(srcX) / width;
  const float v0 = static_cast<float>(srcY) / height;
  const float u1 = static_cast<float>(srcX + w) / width;
  const float v1 = static_cast<float>(srcY + h) / height;
  glBegin(GL_QUADS);
  glTexCoord2f(u0, v0);
  glVertex2i(0, 0);
  glTexCoord2f(u0, v1);
  glVertex2i(0, h);
  glTexCoord2f(u1, v1);
  glVertex2i(w, h);
  glTexCoord2f(u1, v0);
  glVertex2i(w, 0);
  glEnd();
  glPopMatrix();
}

}  // namespace fenwhit
