// The drawing primitives in a real OpenGL context, checked by reading pixels back.
#include <GL/gl.h>

#include "gfx/draw.h"
#include "support/gl_fixture.h"

namespace fenwhit {
namespace {

using testing::GlTest;
using testing::Rgba;

class Primitives : public GlTest {};

TEST_F(Primitives, SceneTransformAtIdentityOnlyShiftsHalfAPixelDown) {
  SetSceneTransform(0.0f, 1.0f, 0, 0);
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_FLOAT_EQ(m[0], 1.0f);
  EXPECT_FLOAT_EQ(m[5], 1.0f);
  EXPECT_FLOAT_EQ(m[12], 0.0f);
  EXPECT_FLOAT_EQ(m[13], 0.5f);
  EXPECT_FLOAT_EQ(m[14], 1.0f);  // on the near edge of the depth range, still drawn

  // Amplified fourfold the half pixel becomes two: the scene point (512, 384) lands
  // at (512, 384.5), so a square from (512, 384) to (513, 385) spans y 384.5..388.5.
  ClearFrame();
  SetSceneTransform(0.0f, 4.0f, 0, 0);
  SetColor(255, 255, 255, 255);
  FillRect(512, 384, 1, 1);
  const auto box = LitBounds();
  EXPECT_EQ(box[0], 512);
  EXPECT_EQ(box[2], 515);
  EXPECT_NEAR(box[1], 384.5, 0.6);
  EXPECT_NEAR(box[3] + 1, 388.5, 0.6);
}

TEST_F(Primitives, FillRectWithNegativeSizeSpansBackwards) {
  SetColor(255, 255, 255, 255);
  FillRect(200, 200, -50, -30);
  EXPECT_EQ(LitBounds(), (std::array<int, 4>{150, 170, 199, 199}));
  ClearFrame();
  FillRectCorners(300, 300, 260, 280);
  EXPECT_EQ(LitBounds(), (std::array<int, 4>{260, 280, 299, 299}));
}

TEST_F(Primitives, SetColorKeepsTheLowEightBits) {
  SetColor(300, -1, 0, 255);
  FillRect(10, 10, 4, 4);
  EXPECT_EQ(Pixel(11, 11), (Rgba{44, 255, 0, 255}));
}

TEST_F(Primitives, AdditiveAddsWhereAlphaBlendMixes) {
  SetBlendAlpha();
  SetColor(100, 100, 100, 255);
  FillRect(0, 0, 400, 100);
  SetColor(200, 0, 0, 128);
  FillRect(0, 0, 100, 100);  // alpha: halfway between
  SetBlendAlpha();
  SetBlendAdditive();  // the later call wins
  FillRect(200, 0, 100, 100);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  const Rgba mixed = Pixel(50, 50);
  EXPECT_NEAR(mixed.r, 150, 2);
  EXPECT_NEAR(mixed.g, 50, 2);
  const Rgba added = Pixel(250, 50);
  EXPECT_NEAR(added.r, 200, 2);
  EXPECT_EQ(added.g, 100);
  EXPECT_EQ(Pixel(350, 50).r, 100);  // untouched background
}

TEST_F(Primitives, VeryLongLineDrawsItsVisiblePart) {
  SetColor(255, 255, 255, 255);
  DrawLine(-14000, 300, 20000, 300, 5.0f);
  const auto box = LitBounds();
  EXPECT_EQ(box[0], 0);
  EXPECT_EQ(box[2], kWidth - 1);
  EXPECT_GE(box[1], 297);
  EXPECT_LE(box[3], 303);
  EXPECT_EQ(Pixel(640, 300).r, 255);
}

TEST_F(Primitives, RotationAndScaleTurnAboutTheSceneCentre) {
  // Quarter turn clockwise at scale 2: (512..522, 384..386) becomes x 508..512 and
  // y 384.5..404.5.
  SetColor(255, 255, 255, 255);
  SetSceneTransform(90.0f, 2.0f, 0, 0);
  FillRect(512, 384, 10, 2);
  auto box = LitBounds();
  EXPECT_NEAR(box[0], 508, 1);
  EXPECT_NEAR(box[2] + 1, 512, 1);
  EXPECT_NEAR(box[1], 384.5, 1);
  EXPECT_NEAR(box[3] + 1, 404.5, 1);

  // A screen-mode offset moves the centre and everything around it.
  ClearFrame();
  SetSceneTransformXY(90.0f, 2.0f, 2.0f, 300, 200);
  FillRect(512, 384, 10, 2);
  const auto shifted = LitBounds();
  EXPECT_EQ(shifted[0], box[0] + 300);
  EXPECT_EQ(shifted[1], box[1] + 200);
  EXPECT_EQ(shifted[2], box[2] + 300);
  EXPECT_EQ(shifted[3], box[3] + 200);
}

// The projection is in the mode's units whatever the drawable; the viewport is the drawable.
TEST_F(Primitives, TheProjectionSpansTheLargestModeInASmallerDrawableToo) {
  renderer_->SetUpWindow(2560, 1440);
  float m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  EXPECT_FLOAT_EQ(m[0], 2.0f / 2560);
  EXPECT_FLOAT_EQ(m[5], -2.0f / 1440);
  EXPECT_FLOAT_EQ(m[12], -1.0f);
  EXPECT_FLOAT_EQ(m[13], 1.0f);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], kWidth);
  EXPECT_EQ(viewport[3], kHeight);
}

TEST_F(Primitives, UntexturedPrimitivesLeaveTexturingOff) {
  FillRect(0, 0, 1, 1);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

}  // namespace
}  // namespace fenwhit
