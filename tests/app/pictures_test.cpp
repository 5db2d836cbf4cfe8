// The picture catalogue: loading order, filters, textures that outlive a mode switch,
// and what a missing picture leaves behind.
#include "app/pictures.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/display.h"
#include "gfx/draw.h"
#include "gfx/recording_renderer.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "image/png.h"
#include "support/gl_fixture.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

const std::string kAssets = std::string(FENWHIT_SOURCE_DIR) + "/assets/";

std::vector<Texture> AllTextures() {
  const Pictures& p = pictures;
  return {p.menu,  p.ball,     p.cow,       p.chicken, p.kromby,    p.corner,
          p.light, p.particle, p.blackHole, p.brick,   p.eventText, p.font.texture};
}

TEST(PictureCatalogue, TexturesAreMadeInTheLoadingOrder) {
  RecordingRenderer recorder;
  SetRenderer(&recorder);
  LoadMenuPicture(kAssets);
  LoadOtherPictures(kAssets);
  SetRenderer(nullptr);
  const Pictures& p = pictures;
  const std::vector<uint32_t> names = {
      p.menu.name,      p.logo.name,         p.light.name,    p.particle.name, p.corner.name,
      p.blackHole.name, p.ball.name,         p.cow.name,      p.chicken.name,  p.kromby.name,
      p.brick.name,     p.font.texture.name, p.eventText.name};
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(names[i], i + 1) << "texture " << i;
  // Only the font is pixel-exact.
  for (const auto& call : recorder.CallsOf("texture")) {
    EXPECT_EQ(call.ints[2], call.textureName == p.font.texture.name ? 1 : 0);
    EXPECT_GT(call.ints[0], 0) << "picture " << call.textureName << " did not decode";
  }
  EXPECT_EQ(p.font.texture.width, 512);
  EXPECT_EQ(p.font.texture.height, 1024);
  EXPECT_EQ(p.font.cellWidth, 32);
  EXPECT_EQ(p.font.cellHeight, 64);
}

TEST(PictureCatalogue, AMissingPictureLeavesAnEmptyRecordAndTheRestLoads) {
  testing::ScratchDir data;
  for (const auto& file : std::filesystem::directory_iterator(kAssets)) {
    if (file.path().extension() == ".png" && file.path().filename() != "Cow.png") {
      std::filesystem::copy(file.path(), data.path() / file.path().filename());
    }
  }
  data.WriteFile("Chicken.png", {0x89, 'P', 'N', 'G'});  // and one that cannot be decoded
  RecordingRenderer recorder;
  SetRenderer(&recorder);
  LoadMenuPicture(data.str() + "/");
  LoadOtherPictures(data.str() + "/");
  SetRenderer(nullptr);
  EXPECT_EQ(pictures.cow.width, -1);
  EXPECT_EQ(pictures.chicken.width, -1);
  EXPECT_EQ(pictures.ball.width, 32);
  EXPECT_EQ(pictures.kromby.width, 64);
}

class PicturesInGl : public testing::GlTest {
 protected:
  // Each texture with the picture it must hold.
  static std::vector<std::pair<Texture, std::string>> TexturesAndFiles() {
    const Pictures& p = pictures;
    return {{p.menu, "options_new.png"},
            {p.ball, "metalball2.png"},
            {p.cow, "Cow.png"},
            {p.chicken, "Chicken.png"},
            {p.kromby, "Kromby.png"},
            {p.corner, "corner2.png"},
            {p.light, "light.png"},
            {p.particle, "particle.png"},
            {p.blackHole, "blackhole.png"},
            {p.brick, "breakout2.png"},
            {p.eventText, "bgeventtext.png"},
            {p.font.texture, "32x64-alien.png"}};
  }
  static bool Holds(const Texture& texture, const std::string& file) {
    const std::optional<Image> image = DecodePng(kAssets + file);
    if (!image || texture.width != image->width || texture.height != image->height) return false;
    std::vector<uint32_t> pixels(image->pixels.size());
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, pixels.data());
    return pixels == image->pixels;
  }
};

// The window and its context outlive a switch, so the textures do too: nothing is uploaded
// again, and nothing is left behind.
TEST_F(PicturesInGl, TexturesHoldTheirPicturesAndOutliveModeSwitches) {
  LoadMenuPicture(kAssets);
  LoadOtherPictures(kAssets);
  GLint filter = 0;
  glBindTexture(GL_TEXTURE_2D, pictures.font.texture.name);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
  EXPECT_EQ(filter, GL_NEAREST);
  glBindTexture(GL_TEXTURE_2D, pictures.ball.name);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
  EXPECT_EQ(filter, GL_LINEAR);
  for (const auto& [texture, file] : TexturesAndFiles()) EXPECT_TRUE(Holds(texture, file)) << file;
  EXPECT_TRUE(Holds(pictures.logo, "PlovixLogo.png"));

  const auto before = AllTextures();
  SwitchScreenMode(1);
  SwitchScreenMode(0);
  const auto after = AllTextures();
  ASSERT_EQ(before.size(), after.size());
  for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].name, before[i].name);
  for (const auto& [texture, file] : TexturesAndFiles()) EXPECT_TRUE(Holds(texture, file)) << file;
  ClearFrame();
  DrawText(100, 200, "SCORE", 1.0f, pictures.font);
  EXPECT_GT(LitPixels(), 0);
}

}  // namespace
}  // namespace fenwhit
