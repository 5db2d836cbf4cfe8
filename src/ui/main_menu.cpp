#include "ui/main_menu.h"

#include <string>

#include "app/display.h"
#include "audio/music.h"
#include "audio/sound_bank.h"
#include "game/backdrop.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/random.h"
#include "game/rounding.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "gfx/sprites.h"
#include "gfx/text.h"
#include "platform/exit.h"
#include "platform/platform.h"

namespace fenwhit {

MenuState menu;

namespace {

constexpr int kUpKeys[] = {scan::kUp, scan::kK, scan::kW};
constexpr int kDownKeys[] = {scan::kDown, scan::kM, scan::kS};
constexpr int kFirstModeItem = 2;
constexpr int kExitItem = 8;

bool AnyHeld(const int (&keys)[3]) {
  for (int key : keys) {
    if (ThePlatform().KeyHeld(key)) return true;
  }
  return false;
}

void ReadSelectionKeys() {
  Platform& platform = ThePlatform();
  for (int key : kUpKeys) {
    if (platform.KeyHeld(key) && menu.upLatch == 0 && menu.menuIndex > 0) {
      --menu.menuIndex;
      PlaySound(sound::kSelect);
      menu.upLatch = 1;
    }
  }
  for (int key : kDownKeys) {
    if (platform.KeyHeld(key) && menu.downLatch == 0 && menu.menuIndex < kMenuItemCount - 1) {
      ++menu.menuIndex;
      PlaySound(sound::kSelect);
      menu.downLatch = 1;
    }
  }
  if (!AnyHeld(kUpKeys)) menu.upLatch = 0;
  if (!AnyHeld(kDownKeys)) menu.downLatch = 0;
}

void DrawMenuFrame() {
  SetSceneTransform(game.tiltAngle, static_cast<float>(game.zoom), screenMode.viewOffsetX,
                    screenMode.viewOffsetY);
  ++menu.menuFrames;
  SetBlendAdditive();
  SetColor(RoundEven(game.bgColour[0] / 3.0), RoundEven(game.bgColour[1] / 3.0),
           RoundEven(game.bgColour[2] / 3.0), 255);
  drawWaveLines(140, 4.0f);

  const int32_t level = game.fadeLevel;
  SetColor(level, level, level, 255);
  if (game.fadeLevel < 251) game.fadeLevel += 3;
  DrawSprite(0, 0, pictures.menu, 0.0f, 1.0f);
  DrawText(280, 30, "TOTAL SCORE: " + std::to_string(game.lastScore), 1.0f, pictures.font);

  SetBlendAdditive();
  SetColor(128, 128, 128, 255);
  DrawSprite(menu.cursorX, menu.cursorY, pictures.particle,
             static_cast<float>(360.0 * randomUnit()), 3.0f);
  DrawSprite(menu.cursorX, menu.cursorY, pictures.particle,
             static_cast<float>(360.0 * randomUnit()), 2.0f);
  PresentFrame();
  ClearFrame();
  ThePlatform().SleepMs(7);
}

// True when a start item was activated (startGame has run).
bool Activate() {
  if (menu.menuIndex <= 1) {
    startGame(menu.menuIndex);
    return true;
  }
  if (menu.menuIndex == kExitItem) ExitProgram(0);
  SwitchScreenMode(menu.menuIndex - kFirstModeItem);
  return false;
}

}  // namespace

void EnterMainMenu() {
  game.waveAmplitude = 320.0f;
  menu.cursorX = 460;
  menu.upLatch = 1;
  menu.downLatch = 1;
  menu.menuFrames = 0;
}

void RunMainMenu() {
  Platform& platform = ThePlatform();
  for (;;) {
    platform.PumpEvents();
    menu.cursorY = kMenuItemY[menu.menuIndex];
    const MouseState mouse = platform.ReadMouse();
    if (menu.requestedGame == 0 || menu.requestedGame == 1) {
      const int32_t kind = menu.requestedGame;
      menu.requestedGame = -1;
      startGame(kind);
      return;
    }
    menu.requestedGame = -1;
    ReadSelectionKeys();
    DrawMenuFrame();
    if (platform.KeyHeld(scan::kSpace) || (mouse.buttons == 1 && menu.menuFrames > 10)) {
      if (Activate()) return;
    }
    if (platform.KeyHeld(scan::kEsc)) ExitProgram(0);
    if (platform.TakeWindowEvent() == WindowEvent::kClose) ExitProgram(0);
    FadeTitleMusicUp();
  }
}

}  // namespace fenwhit
