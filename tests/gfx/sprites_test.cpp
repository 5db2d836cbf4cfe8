// Sprites and texture regions in a real OpenGL context, checked by reading pixels back.
#include "gfx/sprites.h"

#include "gfx/draw.h"
#include "support/gl_fixture.h"

namespace fenwhit {
namespace {

using testing::GlTest;
using testing::Rgba;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

Image MakeImage(int width, int height, const std::vector<uint32_t>& pixels) {
  return Image{width, height, PixelVector(pixels.begin(), pixels.end())};
}

class Sprites : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    if (IsSkipped()) return;
    SetBlendAlpha();
    SetColor(255, 255, 255, 255);
  }
};

TEST_F(Sprites, OnePixelSpriteCoversAUnitSquareHalfAPixelDownAndTurnsAboutItsCorner) {
  const Texture dot = CreateTexture(MakeImage(1, 1, {kWhite}), 1);
  // A scene scale of 4 makes the half pixel two pixels: the sprite at (512, 384)
  // covers y 386.5..390.5 on screen.
  SetSceneTransform(0.0f, 4.0f, 0, 0);
  DrawSprite(512, 384, dot, 0.0f, 1.0f);
  auto box = LitBounds();
  EXPECT_EQ(box[0], 512);
  EXPECT_EQ(box[2], 515);
  EXPECT_NEAR(box[1], 386.5, 0.6);
  EXPECT_NEAR(box[3] + 1, 390.5, 0.6);

  // Turned half a turn about its pivot (512, 384.5) it covers 511..512, 383.5..384.5.
  ClearFrame();
  SetSceneTransform(0.0f, 4.0f, 0, 0);
  DrawSprite(512, 384, dot, 180.0f, 1.0f);
  box = LitBounds();
  EXPECT_EQ(box[0], 508);
  EXPECT_EQ(box[2], 511);
  EXPECT_NEAR(box[1], 382.5, 0.6);
  EXPECT_NEAR(box[3] + 1, 386.5, 0.6);
}

TEST_F(Sprites, RotationTurnsClockwiseOnScreen) {
  // Left half red, right half blue; a quarter turn puts red on top.
  const Texture halves = CreateTexture(MakeImage(2, 2, {kRed, kBlue, kRed, kBlue}), 1);
  SetSceneTransform(0.0f, 20.0f, 0, 0);
  DrawSprite(512, 384, halves, 90.0f, 1.0f);
  // Pivot (513, 385.5) in the scene is at (532, 414.5) on screen.
  EXPECT_EQ(Pixel(532, 400), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(532, 425), (Rgba{0, 0, 255, 255}));
}

TEST_F(Sprites, ScaleZeroDrawsNothingAndNegativeScaleTurnsHalfWay) {
  const Texture halves = CreateTexture(MakeImage(2, 2, {kRed, kBlue, kRed, kBlue}), 1);
  DrawSprite(100, 100, halves, 0.0f, 0.0f);
  EXPECT_EQ(LitPixels(), 0);

  SetSceneTransform(0.0f, 20.0f, 0, 0);
  DrawSprite(512, 384, halves, 0.0f, -1.0f);
  // Mirrored through the pivot: blue now left of it, red right.
  EXPECT_EQ(Pixel(522, 414), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(Pixel(542, 414), (Rgba{255, 0, 0, 255}));
}

TEST_F(Sprites, RegionSamplesToTheEdgeAndWrapsBeyondIt) {
  const Texture strip = CreateTexture(MakeImage(4, 1, {kRed, kGreen, kBlue, kWhite}), 1);
  DrawSpriteRegion(100, 100, 2, 0, 2, 1, strip, 1.0f);  // ends exactly at u = 1
  EXPECT_EQ(Pixel(100, 100), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(Pixel(101, 100), (Rgba{255, 255, 255, 255}));
  DrawSpriteRegion(200, 100, 3, 0, 2, 1, strip, 1.0f);  // runs past u = 1: repeats
  EXPECT_EQ(Pixel(200, 100), (Rgba{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(201, 100), (Rgba{255, 0, 0, 255}));
  // Rows are picked by the texture's height, columns by its width.
  const Texture grid =
      CreateTexture(MakeImage(2, 4, {kRed, kGreen, kBlue, kWhite, kGreen, kRed, kWhite, kBlue}), 1);
  DrawSpriteRegion(300, 100, 1, 2, 1, 1, grid, 1.0f);
  DrawSpriteRegion(300, 110, 0, 1, 2, 2, grid, 1.0f);
  EXPECT_EQ(Pixel(300, 100), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(300, 110), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(Pixel(301, 110), (Rgba{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(300, 111), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(301, 111), (Rgba{255, 0, 0, 255}));
}

TEST_F(Sprites, RegionsWiderOrTallerThanSquareScaleAboutTheirOwnCentre) {
  // Four texels wide, two tall; at scale 3 about its centre (102, 101): 12 by 6 pixels.
  const Texture wide =
      CreateTexture(MakeImage(4, 2, {kRed, kGreen, kBlue, kWhite, kGreen, kRed, kWhite, kBlue}), 1);
  DrawSpriteRegion(100, 100, 0, 0, 4, 2, wide, 3.0f);
  EXPECT_EQ(LitBounds(), (std::array<int, 4>{96, 98, 107, 103}));
  EXPECT_EQ(Pixel(96, 98), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(107, 98), (Rgba{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(96, 103), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(107, 103), (Rgba{0, 0, 255, 255}));
  // Two wide, four tall, from a texture of that shape; at scale 2 about (301, 102).
  ClearFrame();
  const Texture tall =
      CreateTexture(MakeImage(2, 4, {kRed, kGreen, kBlue, kWhite, kGreen, kRed, kWhite, kBlue}), 1);
  DrawSpriteRegion(300, 100, 0, 0, 2, 4, tall, 2.0f);
  EXPECT_EQ(LitBounds(), (std::array<int, 4>{299, 98, 302, 105}));
  EXPECT_EQ(Pixel(299, 98), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(302, 100), (Rgba{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(299, 105), (Rgba{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(302, 105), (Rgba{0, 0, 255, 255}));
}

TEST_F(Sprites, TextureWithoutAnImageRecordsNoSizeAndDrawsNothing) {
  const Texture none = CreateTexture(std::nullopt, 0);
  EXPECT_EQ(none.width, -1);
  EXPECT_EQ(none.height, -1);
  DrawSprite(100, 100, none, 0.0f, 1.0f);
  DrawSpriteRegion(100, 100, 0, 0, 32, 64, none, 1.0f);
  EXPECT_EQ(LitPixels(), 0);
}

TEST_F(Sprites, SameImageTwiceGivesTwoTexturesWithTheSameContents) {
  const Image image = MakeImage(1, 1, {kGreen});
  const Texture first = CreateTexture(image, 0);
  const Texture second = CreateTexture(image, 0);
  EXPECT_NE(first.name, second.name);
  DrawSpriteRegion(10, 10, 0, 0, 1, 1, first, 1.0f);
  DrawSpriteRegion(20, 10, 0, 0, 1, 1, second, 1.0f);
  EXPECT_EQ(Pixel(10, 10), Pixel(20, 10));
  EXPECT_EQ(Pixel(10, 10), (Rgba{0, 255, 0, 255}));
}

TEST_F(Sprites, ColourTintsTheSprite) {
  const Texture dot = CreateTexture(MakeImage(1, 1, {kWhite}), 1);
  SetColor(255, 20, 10, 255);
  DrawSpriteRegion(30, 30, 0, 0, 1, 1, dot, 1.0f);
  EXPECT_EQ(Pixel(30, 30), (Rgba{255, 20, 10, 255}));
}

TEST_F(Sprites, SpritesAreTexturedRightAfterAnUntexturedPrimitive) {
  const Texture green = CreateTexture(MakeImage(2, 2, {kGreen, kGreen, kGreen, kGreen}), 1);
  FillRect(0, 0, 1, 1);
  DrawSprite(40, 40, green, 0.0f, 1.0f);  // half a pixel down: rows 40.5 to 42.5
  EXPECT_EQ(Pixel(40, 41), (Rgba{0, 255, 0, 255}));
  DrawLine(0, 2, 5, 2, 1.0f);
  DrawSpriteRegion(50, 40, 0, 0, 2, 2, green, 1.0f);
  EXPECT_EQ(Pixel(50, 40), (Rgba{0, 255, 0, 255}));
}

}  // namespace
}  // namespace fenwhit
