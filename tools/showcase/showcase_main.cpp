// Draws every picture of the game the way the game draws it, in one 1280 x 720 frame,
// and writes the frame as a binary PPM: fenwhit_showcase <asset folder> <out.ppm>.
// A way to look at the pictures as a player sees them (run with SDL_VIDEODRIVER=offscreen).
#include <GL/gl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/pictures.h"
#include "gfx/batch_renderer.h"
#include "gfx/draw.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "platform/platform.h"
#include "platform/sdl_platform.h"

using namespace fenwhit;

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

void DrawScene() {
  // The intro logo, dimmed so the rest reads over it.
  SetBlendAdditive();
  SetColor(90, 90, 90, 255);
  DrawSprite(160, 0, pictures.logo, 0.0f, 1.0f);

  // Arena corner, wall lines and glows as at the start of a game.
  SetColor(255, 255, 255, 255);
  const int left = 110, top = 10, bottom = 710, right = 700;
  DrawSprite(left - 16, top - 18, pictures.corner, 0.0f, 1.0f);
  DrawSprite(left - 16, bottom - 16, pictures.corner, 90.0f, 1.0f);
  DrawLine(left, top, right, top, 4.0f);
  DrawLine(left, bottom, right, bottom, 4.0f);
  DrawLine(left, top, left, -12000, 4.0f);
  DrawLine(left, bottom, left, 12000, 4.0f);
  SetColor(200, 200, 200, 255);
  DrawSprite(right - 32, top - 32, pictures.light, 30.0f, 2.0f);
  SetColor(255, 20, 10, 255);
  FillRectCorners(left, 300, left + 20, 460);

  // Balls in their four skins, particles and a brick row.
  SetBlendAlpha();
  SetColor(255, 255, 255, 255);
  DrawSprite(250 - 16, 120 - 16, pictures.ball, 20.0f, 1.0f);
  DrawSprite(330 - 32, 120 - 32, pictures.cow, 0.0f, 1.0f);
  DrawSprite(420 - 32, 120 - 32, pictures.chicken, 15.0f, 1.0f);
  DrawSprite(510 - 32, 120 - 32, pictures.kromby, 0.0f, 1.4f);
  const int brickColours[3][3] = {{230, 60, 60}, {60, 200, 90}, {70, 120, 255}};
  for (int i = 0; i < 3; ++i) {
    SetColor(brickColours[i][0], brickColours[i][1], brickColours[i][2], 255);
    DrawSprite(600 + 64 * i, 100, pictures.brick, 0.0f, 1.0f);
  }
  SetBlendAdditive();
  for (int i = 0; i < 12; ++i) {
    SetColor(255, 55 + 16 * i, 10, 255);
    DrawSprite(250 + 14 * i, 200 + (i % 3) * 6, pictures.particle, 30.0f * i, 1.0f);
  }

  // The black hole, two copies turning apart, at a third of its game size.
  SetBlendAlpha();
  SetColor(255, 255, 255, 255);
  DrawSprite(960, 150, pictures.blackHole, 40.0f, 2.5f);
  DrawSprite(960, 150, pictures.blackHole, -70.0f, 2.5f);

  // Score line with life and cancel marks.
  SetBlendAdditive();
  SetColor(255, 255, 255, 255);
  DrawText(240, 300, " LIVES:       CANCEL:", 1.2f, pictures.font);
  SetColor(255, 20, 10, 255);
  DrawText(480, 300, ")", 2.0f, pictures.font);
  DrawText(528, 300, ")", 2.0f, pictures.font);
  SetColor(75, 170, 255, 255);
  DrawText(850, 300, "(", 2.0f, pictures.font);
  SetColor(255, 255, 255, 255);
  DrawText(240, 380, " SCORE: 123456    ", 1.0f, pictures.font);

  // An event title on its backdrop, in a view zoomed out as in a game.
  SetSceneTransform(0.0f, 0.7f, 0, 0);
  SetBlendAlpha();
  SetColor(255, 255, 255, 255);
  DrawSprite(600, 728, pictures.eventText, 0.0f, 3.0f);
  SetBlendAdditive();
  SetColor(240, 180, 200, 255);
  DrawTextCondensed(230, 740, "!! ARENA EXPAND !!", 3.0f, pictures.font);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fenwhit_showcase <asset folder> <out.ppm>\n");
    return 2;
  }
  SdlPlatform platform("Fenwhit showcase");
  if (!platform.OpenWindow(kWidth, kHeight)) {
    std::fprintf(stderr, "fenwhit_showcase: %s\n", platform.LastError().c_str());
    return 1;
  }
  BatchRenderer renderer(platform);
  SetPlatform(&platform);
  SetRenderer(&renderer);
  renderer.SetUpWindow(kWidth, kHeight);
  const std::string folder = std::string(argv[1]) + "/";
  LoadMenuPicture(folder);
  LoadOtherPictures(folder);
  ClearFrame();
  DrawScene();
  renderer.Flush();
  glFinish();
  std::vector<unsigned char> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr) return 1;
  std::fprintf(out, "P6\n%d %d\n255\n", kWidth, kHeight);
  for (int row = kHeight - 1; row >= 0; --row) {
    std::fwrite(rgb.data() + static_cast<size_t>(row) * kWidth * 3, 1, kWidth * 3, out);
  }
  std::fclose(out);
  return 0;
}
