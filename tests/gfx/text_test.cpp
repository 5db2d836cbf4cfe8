// Text is drawn glyph by glyph as texture regions; checked through the recording renderer.
#include <gtest/gtest.h>

#include "gfx/recording_renderer.h"
#include "gfx/text.h"

namespace fenwhit {
namespace {

class Text : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRenderer(&recorder_);
    font_.texture = Texture{512, 1024, 7};
  }
  void TearDown() override { SetRenderer(nullptr); }

  std::vector<DrawCall> Regions() const { return recorder_.CallsOf("region"); }

  RecordingRenderer recorder_;
  BitmapFont font_;
};

TEST_F(Text, AdvancesOneCellAtScaleOneAndOverlapsWhenCondensed) {
  DrawText(100, 50, "AB", 1.0f, font_);
  DrawTextCondensed(100, 50, "AB", 3.0f, font_);
  const auto regions = Regions();
  ASSERT_EQ(regions.size(), 4u);
  EXPECT_EQ(regions[0].ints[0], 100);
  EXPECT_EQ(regions[1].ints[0], 132);
  EXPECT_EQ(regions[2].ints[0], 100);
  EXPECT_EQ(regions[3].ints[0], 168);  // 96 per glyph less 28
  for (const auto& region : regions) EXPECT_EQ(region.ints[1], 50);
  EXPECT_FLOAT_EQ(regions[3].floats[0], 3.0f);
}

TEST_F(Text, EveryByteSelectsItsOwnCell) {
  const std::string bytes = {'\0', static_cast<char>(255), static_cast<char>(0xC9), 'A'};
  DrawText(0, 0, bytes, 1.0f, font_);
  const auto regions = Regions();
  ASSERT_EQ(regions.size(), 4u);
  auto cell = [](const DrawCall& call) { return std::pair{call.ints[2], call.ints[3]}; };
  EXPECT_EQ(cell(regions[0]), (std::pair{0, 0}));
  EXPECT_EQ(cell(regions[1]), (std::pair{15 * 32, 15 * 64}));
  EXPECT_EQ(cell(regions[2]), (std::pair{9 * 32, 12 * 64}));  // above 127: lower half
  EXPECT_EQ(cell(regions[3]), (std::pair{1 * 32, 4 * 64}));
  for (const auto& region : regions) {
    EXPECT_EQ(region.ints[4], 32);
    EXPECT_EQ(region.ints[5], 64);
    EXPECT_EQ(region.textureName, 7u);
  }
}

TEST_F(Text, EmptyTextDrawsNothingAndSpacesShiftTheRest) {
  DrawText(10, 10, "", 2.0f, font_);
  EXPECT_TRUE(Regions().empty());
  DrawTextCondensed(230, 740, "     AND", 3.0f, font_);
  const auto regions = Regions();
  ASSERT_EQ(regions.size(), 8u);
  EXPECT_EQ(regions[5].ints[0], 230 + 5 * 68);
}

TEST_F(Text, PositionsRoundHalvesToEven) {
  // 32 * 1.5 = 48, and 10 + 32 * i * 1.015625 lands on .5 for i = 1: 42.5 -> 42.
  DrawText(10, 0, "AB", 1.015625f, font_);
  const auto regions = Regions();
  ASSERT_EQ(regions.size(), 2u);
  EXPECT_EQ(regions[1].ints[0], 42);
}

}  // namespace
}  // namespace fenwhit
