// The intro: the logo and the version line fade in and out again.
#include "ui/intro.h"

#include <string>

#include "game/game_fixture.h"
#include "gfx/pictures.h"

namespace fenwhit {
namespace {

class IntroTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    saved_ = pictures;
    pictures.logo = Texture{960, 600, 77};
    pictures.menu = Texture{1280, 720, 78};
  }
  void TearDown() override {
    pictures = saved_;
    GameTest::TearDown();
  }
  Pictures saved_;
};

TEST_F(IntroTest, FadesInByFourAFrameHoldsAtFullAndFadesOutToBlack) {
  RunIntro();
  EXPECT_EQ(renderer.Presented(), 202);
  EXPECT_EQ(platform.SleptMs(), 202 * 20);

  std::vector<int> levels;
  for (const DrawCall& call : renderer.CallsOf("color")) levels.push_back(call.ints[0]);
  ASSERT_EQ(levels.size(), 202u);
  EXPECT_EQ(levels[0], 4);
  EXPECT_EQ(levels[62], 252);
  EXPECT_EQ(levels[63], 255);
  EXPECT_EQ(levels[100], 255);
  EXPECT_EQ(levels[101], 251);
  EXPECT_EQ(levels[163], 3);
  EXPECT_EQ(levels[164], 0);
  EXPECT_EQ(levels[201], 0);

  const auto sprites = renderer.CallsOf("sprite");
  ASSERT_EQ(sprites.size(), 202u);
  EXPECT_EQ(sprites[0].textureName, 77u);
  EXPECT_EQ(sprites[0].ints, (std::vector<int>{160, 0}));
  std::string line;
  const auto glyphs = renderer.CallsOf("region");
  for (size_t i = 0; i < 10; ++i) {
    line += static_cast<char>(glyphs[i].ints[3] / 64 * 16 + glyphs[i].ints[2] / 32);
  }
  EXPECT_EQ(line, "V0.39 BETA");
  EXPECT_EQ(std::pair(glyphs[0].ints[0], glyphs[0].ints[1]), std::pair(6, 640));
  EXPECT_EQ(glyphs.size(), 202u * 10);
}

}  // namespace
}  // namespace fenwhit
