#include "gfx/gl_setup.h"

#include <GL/gl.h>

#include "image/png.h"

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

namespace fenwhit {

namespace {
float pixelsPerUnit = 1.0f;
}

void FitGlViewport(int32_t width, int32_t height, PixelSize drawable) {
  if (drawable.width <= 0 || drawable.height <= 0) drawable = {width, height};
  const PixelRect picture = Letterbox(width, height, drawable.width, drawable.height);
  // OpenGL counts rows from the bottom.
  const int32_t bottom = drawable.height - picture.y - picture.height;
  glViewport(picture.x, bottom, picture.width, picture.height);
  // Wide lines may reach past the viewport; the scissor keeps the bars black.
  glScissor(picture.x, bottom, picture.width, picture.height);
  if (picture.width == drawable.width && picture.height == drawable.height) {
    glDisable(GL_SCISSOR_TEST);
  } else {
    glEnable(GL_SCISSOR_TEST);
  }
  pixelsPerUnit = width > 0 ? static_cast<float>(picture.width) / static_cast<float>(width) : 1.0f;
}

void ClearGlFrame() {
  const bool scissor = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
  if (scissor) glDisable(GL_SCISSOR_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (scissor) glEnable(GL_SCISSOR_TEST);
}

void ClearGlPicture(const float* colour) {
  glClearColor(colour[0], colour[1], colour[2], colour[3]);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

void SetGlLineWidth(float width) {
  glLineWidth(width * pixelsPerUnit);
}

float GlPixelsPerUnit() {
  return pixelsPerUnit;
}

void SetUpGlWindow(int32_t width, int32_t height, PixelSize drawable) {
  FitGlViewport(width, height, drawable);
  glEnable(GL_TEXTURE_2D);
  glShadeModel(GL_SMOOTH);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, static_cast<double>(width), static_cast<double>(height), 0.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

void UseBlendAlpha() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void UseBlendAdditive() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

void UseNoBlend() {
  glDisable(GL_BLEND);
}

Texture UploadTexture(const Image* image, int nearest) {
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

}  // namespace fenwhit
