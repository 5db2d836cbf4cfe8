#include "app/pictures.h"

#include "gfx/sprites.h"
#include "image/png.h"

namespace fenwhit {

Pictures pictures;

namespace {

Texture Load(const std::string& dataDirectory, const char* file) {
  return CreateTexture(DecodePng(dataDirectory + file), 0);
}

}  // namespace

void LoadMenuPicture(const std::string& dataDirectory) {
  pictures.menu = Load(dataDirectory, "options_new.png");
}

void LoadOtherPictures(const std::string& dataDirectory) {
  pictures.logo = Load(dataDirectory, "PlovixLogo.png");
  pictures.light = Load(dataDirectory, "light.png");
  pictures.particle = Load(dataDirectory, "particle.png");
  pictures.corner = Load(dataDirectory, "corner2.png");
  pictures.blackHole = Load(dataDirectory, "blackhole.png");
  pictures.ball = Load(dataDirectory, "metalball2.png");
  pictures.cow = Load(dataDirectory, "Cow.png");
  pictures.chicken = Load(dataDirectory, "Chicken.png");
  pictures.kromby = Load(dataDirectory, "Kromby.png");
  pictures.brick = Load(dataDirectory, "breakout2.png");
  // The font alone is drawn pixel-exact.
  pictures.font = LoadFont(dataDirectory + "32x64-alien.png");
  pictures.eventText = Load(dataDirectory, "bgeventtext.png");
}

std::vector<Texture> EveryTexture(const Pictures& set) {
  return {set.menu,  set.ball,      set.cow,         set.chicken,  set.kromby,
          set.logo,  set.corner,    set.light,       set.particle, set.blackHole,
          set.brick, set.eventText, set.font.texture};
}

}  // namespace fenwhit
