#pragma once
// A real OpenGL context in an offscreen window (SDL's offscreen driver on Mesa), with
// pixel read-back, for tests of the drawing layer.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/gl_renderer.h"
#include "platform/sdl_platform.h"

namespace fenwhit::testing {

struct Rgba {
  int r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

void PrintTo(const Rgba& c, std::ostream* os);

class GlTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Pixel at window coordinates (x right, y down from the top-left corner).
  Rgba Pixel(int x, int y) const;
  // The whole window, RGBA, bottom row first.
  std::vector<uint8_t> AllPixels() const;
  // Number of pixels in the window whose red, green or blue is above 0.
  int LitPixels() const;
  // Bounding box of lit pixels: {minX, minY, maxX, maxY}, or all -1 when none.
  std::array<int, 4> LitBounds() const;

  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 720;
  std::unique_ptr<SdlPlatform> platform_;
  std::unique_ptr<GlRenderer> renderer_;
};

}  // namespace fenwhit::testing
