#include "support/gl_fixture.h"

#include <GL/gl.h>

#include <ostream>

#include "gfx/renderer.h"
#include "platform/platform.h"

namespace fenwhit::testing {

void PrintTo(const Rgba& c, std::ostream* os) {
  *os << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

void GlTest::SetUp() {
  platform_ = std::make_unique<SdlPlatform>("Fenwhit test");
  platform_->SetFitToDesktop(false);  // the offscreen desktop is smaller than the window
  if (!platform_->OpenWindow(kWidth, kHeight)) {
    GTEST_SKIP() << "no OpenGL context here: " << platform_->LastError();
  }
  renderer_ = std::make_unique<GlRenderer>(*platform_);
  SetPlatform(platform_.get());
  SetRenderer(renderer_.get());
  renderer_->SetUpWindow(kWidth, kHeight);
  renderer_->ClearFrame();
}

void GlTest::TearDown() {
  SetRenderer(nullptr);
  SetPlatform(nullptr);
  renderer_.reset();
  platform_.reset();
}

Rgba GlTest::Pixel(int x, int y) const {
  glFinish();
  uint8_t p[4] = {};
  glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2], p[3]};
}

std::vector<uint8_t> GlTest::AllPixels() const {
  glFinish();
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

int GlTest::LitPixels() const {
  const auto pixels = AllPixels();
  int lit = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    if (pixels[i] || pixels[i + 1] || pixels[i + 2]) ++lit;
  }
  return lit;
}

std::array<int, 4> GlTest::LitBounds() const {
  const auto pixels = AllPixels();
  std::array<int, 4> box = {-1, -1, -1, -1};
  for (int row = 0; row < kHeight; ++row) {
    for (int x = 0; x < kWidth; ++x) {
      const size_t i = (static_cast<size_t>(row) * kWidth + x) * 4;
      if (!(pixels[i] || pixels[i + 1] || pixels[i + 2])) continue;
      const int y = kHeight - 1 - row;
      if (box[0] < 0 || x < box[0]) box[0] = x;
      if (box[1] < 0 || y < box[1]) box[1] = y;
      if (x > box[2]) box[2] = x;
      if (y > box[3]) box[3] = y;
    }
  }
  return box;
}

}  // namespace fenwhit::testing
