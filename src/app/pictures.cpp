#include "app/pictures.h"

#include <optional>

#include "gfx/sprites.h"
#include "image/png.h"

namespace fenwhit {

Pictures pictures;

namespace {

// The decoded images are kept for the life of the program: a screen-mode switch
// uploads them again into the new context.
struct KeptImages {
  std::optional<Image> menu, ball, cow, chicken, kromby, logo, corner, light, particle,
      blackHole, brick, eventText;
};
KeptImages kept;

const char* const kFontFile = "32x64-alien.png";

// The textures of the game screen, in the order they are first made.
void MakeGameTextures() {
  pictures.light = CreateTexture(kept.light, 0);
  pictures.particle = CreateTexture(kept.particle, 0);
  pictures.corner = CreateTexture(kept.corner, 0);
  pictures.blackHole = CreateTexture(kept.blackHole, 0);
  pictures.ball = CreateTexture(kept.ball, 0);
  pictures.cow = CreateTexture(kept.cow, 0);
  pictures.chicken = CreateTexture(kept.chicken, 0);
  pictures.kromby = CreateTexture(kept.kromby, 0);
  pictures.brick = CreateTexture(kept.brick, 0);
}

}  // namespace

void LoadMenuPicture(const std::string& dataDirectory) {
  kept.menu = DecodePng(dataDirectory + "options_new.png");
  pictures.menu = CreateTexture(kept.menu, 0);
}

void LoadOtherPictures(const std::string& dataDirectory) {
  kept.ball = DecodePng(dataDirectory + "metalball2.png");
  kept.cow = DecodePng(dataDirectory + "Cow.png");
  kept.chicken = DecodePng(dataDirectory + "Chicken.png");
  kept.kromby = DecodePng(dataDirectory + "Kromby.png");
  // The logo is shown only by the intro, before any switch, so its image is not kept.
  pictures.logo = CreateTexture(DecodePng(dataDirectory + "PlovixLogo.png"), 0);

  kept.corner = DecodePng(dataDirectory + "corner2.png");
  kept.light = DecodePng(dataDirectory + "light.png");
  kept.particle = DecodePng(dataDirectory + "particle.png");
  kept.blackHole = DecodePng(dataDirectory + "blackhole.png");
  kept.brick = DecodePng(dataDirectory + "breakout2.png");

  MakeGameTextures();

  pictures.font = LoadFont(dataDirectory + kFontFile);

  kept.eventText = DecodePng(dataDirectory + "bgeventtext.png");
  pictures.eventText = CreateTexture(kept.eventText, 0);
}

void RecreateTextures(const std::string& dataDirectory) {
  pictures.menu = CreateTexture(kept.menu, 0);
  MakeGameTextures();
  pictures.eventText = CreateTexture(kept.eventText, 0);
  pictures.font = LoadFont(dataDirectory + kFontFile);
}

}  // namespace fenwhit
