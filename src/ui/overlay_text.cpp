#include "ui/overlay_text.h"

#include "app/display.h"
#include "game/game_state.h"
#include "game/rounding.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "gfx/text.h"

namespace fenwhit {

namespace {

int32_t Scaled(int32_t component, int32_t brightness) {
  return component * brightness / 255;
}

}  // namespace

void UseWindowPixels() {
  ResetSceneTransform();
}

void DimWindowAndCentrePicture(int32_t alpha) {
  UseWindowPixels();
  DarkenRect(0, 0, screenMode.width, screenMode.height, alpha);
  SetSceneTransform(0.0f, 1.0f, (screenMode.width - kPictureWidth) / 2,
                    (screenMode.height - kPictureHeight) / 2);
}

void UseMenuLayout() {
  ResetSceneTransform();
  SetSceneTransform(game.tiltAngle, static_cast<float>(game.zoom), screenMode.viewOffsetX,
                    screenMode.viewOffsetY);
}

int32_t TextWidth(std::string_view text, float scale) {
  return RoundEven(static_cast<double>(pictures.font.cellWidth) * scale *
                   static_cast<double>(text.size()));
}

void DrawNeonText(int32_t x, int32_t y, std::string_view text, float scale, Rgb colour,
                  int32_t brightness) {
  SetBlendAdditive();
  // The glow: the same text a little to each side, faint.
  const int32_t spread = RoundEven(2.0 * scale) + 1;
  const int32_t glow = brightness / 4;
  SetColor(Scaled(colour.r, glow), Scaled(colour.g, glow), Scaled(colour.b, glow), 255);
  DrawText(x - spread, y, text, scale, pictures.font);
  DrawText(x + spread, y, text, scale, pictures.font);
  DrawText(x, y - spread, text, scale, pictures.font);
  DrawText(x, y + spread, text, scale, pictures.font);
  SetColor(Scaled(colour.r, brightness), Scaled(colour.g, brightness), Scaled(colour.b, brightness),
           255);
  DrawText(x, y, text, scale, pictures.font);
}

void DrawCentredNeonText(int32_t centreX, int32_t y, std::string_view text, float scale, Rgb colour,
                         int32_t brightness) {
  DrawNeonText(centreX - TextWidth(text, scale) / 2, y, text, scale, colour, brightness);
}

void DarkenRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t alpha) {
  SetBlendAlpha();
  SetColor(0, 0, 0, alpha);
  FillRect(x, y, w, h);
}

}  // namespace fenwhit
